#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "LinhaNoPapel.h"

namespace velmora {

// Turns the bytes of a job into characters. The code page is chosen once per job from the whole
// job text, so that widths and printed text agree.
class Decodificador {
  public:
    virtual ~Decodificador() = default;
    // Name of the code page for this job (an iconv name).
    virtual std::string escolhe(std::string_view jobInteiro) const = 0;
    // Whether escolhe() weighs each job's bytes, rather than using a code page set for all.
    virtual bool peloConteudo() const { return false; }
    // Characters of `bytes` in that code page; bytes that do not decode become U+FFFD.
    virtual std::u32string decodifica(std::string_view bytes, const std::string& codigo) const = 0;
    // Columns the line takes on paper (see larguraImpressa). A decoder may answer without
    // building the text.
    virtual std::size_t larguraImpressa(std::string_view bytes, const std::string& codigo) const {
        return velmora::larguraImpressa(std::u32string_view(decodifica(bytes, codigo)));
    }
};

}  // namespace velmora
