#include "LinhaNoPapel.h"

namespace velmora {

bool temTinta(std::u32string_view linha) {
    return std::any_of(linha.begin(), linha.end(),
                       [](char32_t c) { return c != U' ' && c != U'\t' && !semColuna(c); });
}

std::u32string expandeTabulacoes(std::u32string_view linha) {
    std::u32string resultado;
    resultado.reserve(linha.size());
    std::size_t coluna = 0;
    for (const char32_t c : linha) {
        if (c == U'\t') {
            const std::size_t brancos = kParadaTabulacao - coluna % kParadaTabulacao;
            resultado.append(brancos, U' ');
            coluna += brancos;
            continue;
        }
        resultado.push_back(c);
        if (!semColuna(c)) ++coluna;
    }
    return resultado;
}

std::vector<std::u32string_view> quebraEmColunas(std::u32string_view linha, std::size_t colunas) {
    const auto ultimo = linha.find_last_not_of(U' ');
    linha = ultimo == std::u32string_view::npos ? linha.substr(0, 0) : linha.substr(0, ultimo + 1);
    std::vector<std::u32string_view> pedacos;
    if (colunas == 0) colunas = 1;
    std::size_t inicio = 0;
    std::size_t coluna = 0;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        if (semColuna(linha[i])) continue;
        // A mark stays with the letter before it, so a piece only ends in front of a letter.
        if (coluna == colunas) {
            pedacos.push_back(linha.substr(inicio, i - inicio));
            inicio = i;
            coluna = 0;
        }
        ++coluna;
    }
    pedacos.push_back(linha.substr(inicio));
    return pedacos;
}

}  // namespace velmora
