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
            linha.append(QString(brancos, QLatin1Char(' ')));
            coluna += brancos;
            continue;
        }
        if (ehControle(c)) continue;
        const char32_t ponto = ehValido(c) ? c : U'\uFFFD';
        linha.append(QString::fromUcs4(&ponto, 1));
        ++coluna;
    }
    return linha;
}

}  // namespace velmora
