#include "Utf8.h"

#include "spooler/Utf8.h"

namespace velmora {

namespace {

constexpr char32_t kSubstituto = 0xFFFD;

}  // namespace

std::u32string decodificaUtf8(std::string_view texto) {
    std::u32string saida;
    saida.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size();) {
        const Unidade u = leUnidade(texto, i);
        saida.push_back(u.valor < kByteSolto ? u.valor : kSubstituto);
        i += u.tamanho;
    }
    return saida;
}

std::string codificaUtf8(std::u32string_view texto) {
    std::string saida;
    saida.reserve(texto.size());
    for (char32_t c : texto) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kSubstituto;
        if (c < 0x80) {
            saida.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            saida.push_back(static_cast<char>(0xC0 | (c >> 6)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            saida.push_back(static_cast<char>(0xE0 | (c >> 12)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            saida.push_back(static_cast<char>(0xF0 | (c >> 18)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            saida.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return saida;
}

}  // namespace velmora
