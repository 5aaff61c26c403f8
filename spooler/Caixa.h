#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The one case-insensitive comparison of the program, for printer names, font names, file
// patterns and "EJECT": Unicode simple case folding (CaseFolding.txt, status C and S) over UTF-8
// text. Bytes that are no valid UTF-8 (a job in a DOS code page) compare as themselves.

std::uint32_t dobraCaixa(std::uint32_t caractere);

// The folded characters of a UTF-8 text, one per character (see Unidade for invalid bytes).
std::u32string dobraCaixa(std::string_view texto);

bool igualSemCaixa(std::string_view a, std::string_view b);
bool contemSemCaixa(std::string_view texto, std::string_view trecho);

}  // namespace velmora
