#include "LinhaImpressa.h"

namespace velmora {

namespace {

constexpr qsizetype kParadaTab = 8;

bool ehControle(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool ehValido(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

}  // namespace

QString linhaImpressa(std::u32string_view texto) {
    QString linha;
    linha.reserve(static_cast<qsizetype>(texto.size()));
    qsizetype coluna = 0;
    for (char32_t c : texto) {
        if (c == U'\t') {
            const qsizetype brancos = kParadaTab - coluna % kParadaTab;
            for (qsizetype i = 0; i < brancos; ++i) linha.append(QLatin1Char(' '));
            coluna += brancos;
            continue;
        }
        if (ehControle(c)) continue;
        const char32_t ponto = ehValido(c) ? c : U'\uFFFD';
        if (QChar::requiresSurrogates(ponto)) {
            linha.append(QChar(QChar::highSurrogate(ponto)));
            linha.append(QChar(QChar::lowSurrogate(ponto)));
        } else {
            linha.append(QChar(static_cast<char16_t>(ponto)));
        }
        ++coluna;
    }
    return linha;
}

}  // namespace velmora
