#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

// One character of a UTF-8 text: a code point, or a byte that starts no valid sequence, kept apart
// from every code point (kByteSolto + the byte) so that such text still compares byte for byte.
struct Unidade {
    std::uint32_t valor;
    std::size_t tamanho;  // bytes taken from the text
};

inline constexpr std::uint32_t kByteSolto = 0x110000;

// The character that starts at `pos` (< texto.size()).
Unidade leUnidade(std::string_view texto, std::size_t pos);

}  // namespace velmora
