#pragma once

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
};

}  // namespace velmora
