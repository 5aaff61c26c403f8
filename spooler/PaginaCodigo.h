#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Choosing the code page of a job by its bytes. Names are iconv's.
inline const std::string kUtf8 = "UTF-8";
inline const std::string kWindows1252 = "WINDOWS-1252";
inline const std::string kCp850 = "CP850";
inline const std::string kCp437 = "CP437";

// UTF-8 when the job is well-formed UTF-8 (pure ASCII is). Otherwise the bytes above 0x7F of
// its first 8 MB are weighed in each of Windows-1252, CP850 and CP437: Portuguese accented
// letters beside letters, box-drawing characters beside each other, bytes the code page leaves
// undefined. A DOS code page must win by a clear margin; a job that shows no clear sign is
// Windows-1252.
std::string codigoPeloConteudo(std::string_view job);

// The DOS code pages, which a job rarely declares: worth telling the user when chosen.
bool ehCodigoDos(const std::string& codigo);

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF. Pure ASCII is.
bool ehUtf8Valido(std::string_view bytes);

// Length of the run of ASCII bytes at the start of `bytes`.
std::size_t prefixoAscii(std::string_view bytes);

}  // namespace velmora
