#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace velmora {

// How a decoded job line sits on paper, as a printer's carriage moves: tab stops every eight
// columns, control characters and combining marks take no column, and a line feed or a form
// feed starts again at the left edge.

constexpr std::size_t kParadaTabulacao = 8;

constexpr bool ehControle(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

constexpr bool semColuna(char32_t c) { return ehControle(c) || (c >= 0x0300 && c <= 0x036F); }

// Columns from the left edge to the last character that leaves ink; blanks and tabs in front
// count, blanks behind do not. Also takes the bytes of an ASCII line, which are its characters.
template <typename Caractere>
std::size_t larguraImpressa(std::basic_string_view<Caractere> linha) {
    std::size_t coluna = 0;
    std::size_t maior = 0;
    for (const Caractere ch : linha) {
        const auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<Caractere>>(ch));
        if (c == U'\t') {
            coluna += kParadaTabulacao - coluna % kParadaTabulacao;
        } else if (c == U'\n' || c == U'\f') {
            coluna = 0;
        } else if (!semColuna(c)) {
            ++coluna;
            if (c != U' ') maior = std::max(maior, coluna);
        }
    }
    return maior;
}

// Whether anything of the line would leave ink.
bool temTinta(std::u32string_view linha);

// The line with its tabs turned into the blanks up to the next stop.
std::u32string expandeTabulacoes(std::u32string_view linha);

// The pieces of a line (tabs already expanded) that a page `colunas` wide holds, trailing blanks
// left out: a line that fits is one piece, a longer one goes on over the following lines. An
// empty line is one empty piece.
std::vector<std::u32string_view> quebraEmColunas(std::u32string_view linha, std::size_t colunas);

}  // namespace velmora
