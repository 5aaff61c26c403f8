#include "LinhaImpressa.h"

#include "spooler/LinhaNoPapel.h"

namespace velmora {

namespace {

bool ehValido(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

}  // namespace

QString linhaImpressa(std::u32string_view texto) {
    const std::u32string expandida = expandeTabulacoes(texto);
    QString linha;
    linha.reserve(static_cast<qsizetype>(expandida.size()));
    for (char32_t c : expandida) {
        if (ehControle(c)) continue;
        const char32_t ponto = ehValido(c) ? c : U'\uFFFD';
        if (QChar::requiresSurrogates(ponto)) {
            linha.append(QChar(QChar::highSurrogate(ponto)));
            linha.append(QChar(QChar::lowSurrogate(ponto)));
        } else {
            linha.append(QChar(static_cast<char16_t>(ponto)));
        }
    }
    return linha;
}

}  // namespace velmora
