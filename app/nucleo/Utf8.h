#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Characters of a UTF-8 text; a byte that starts no valid sequence becomes U+FFFD.
std::u32string decodificaUtf8(std::string_view texto);
std::string codificaUtf8(std::u32string_view texto);

// Lower case for ASCII and the Latin-1 letters (Á -> á ...), which is what printer names hold.
std::string minusculas(std::string_view texto);

}  // namespace velmora
