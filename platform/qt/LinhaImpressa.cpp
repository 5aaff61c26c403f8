#include "LinhaImpressa.h"

#include "spooler/LinhaNoPapel.h"

namespace velmora {

namespace {

bool ehValido(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

}  // namespace

std::u32string caracteresImpressos(std::u32string_view texto) {
    // Most lines come with their tabs already expanded.
    std::u32string expandida;
    if (texto.find(U'\t') != std::u32string_view::npos) {
        expandida = expandeTabulacoes(texto);
        texto = expandida;
    }
    std::u32string linha;
    linha.reserve(texto.size());
    for (char32_t c : texto) {
        if (!ehControle(c)) linha.push_back(ehValido(c) ? c : U'\uFFFD');
    }
    return linha;
}

QString linhaImpressa(std::u32string_view texto) {
    const std::u32string caracteres = caracteresImpressos(texto);
    QString linha;
    linha.reserve(static_cast<qsizetype>(caracteres.size()));
    for (char32_t ponto : caracteres) {
        if (QChar::requiresSurrogates(ponto)) {
            linha.append(QChar(QChar::highSurrogate(ponto)));
            linha.append(QChar(QChar::lowSurrogate(ponto)));
        } else {
            linha.append(QChar(static_cast<char16_t>(ponto)));
        }
    }
    return linha;
}

bool semModelagem(char32_t c) {
    if (c < 0x0300) return true;
    const bool simples = (c >= 0x0370 && c < 0x0590) || (c >= 0x2000 && c < 0x2600);
    return simples && !QChar::isMark(c);
}

}  // namespace velmora
