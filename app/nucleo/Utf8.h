#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Characters of a UTF-8 text; a byte that starts no valid sequence becomes U+FFFD.
std::u32string decodificaUtf8(std::string_view texto);
std::string codificaUtf8(std::u32string_view texto);

}  // namespace velmora
