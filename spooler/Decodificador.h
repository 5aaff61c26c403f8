#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Turns the bytes of a job into characters. The code page is chosen once per job from the whole
// job text, so that widths and printed text agree.
class Decodificador {
  public:
    virtual ~Decodificador() = default;
    // Name of the code page for this job (an iconv name).
    virtual std::string escolhe(std::string_view jobInteiro) const = 0;
    // Characters of `bytes` in that code page; bytes that do not decode become U+FFFD.
    virtual std::u32string decodifica(std::string_view bytes, const std::string& codigo) const = 0;
    // Characters of `bytes` in that code page from the first to the last that is not a blank.
    // A decoder may answer without building the text.
    virtual std::size_t larguraAparada(std::string_view bytes, const std::string& codigo) const {
        const std::u32string linha = decodifica(bytes, codigo);
        const auto inicio = linha.find_first_not_of(U' ');
        if (inicio == std::u32string::npos) return 0;
        return linha.find_last_not_of(U' ') - inicio + 1;
    }
};

}  // namespace velmora
