#include "Utf8.h"

namespace velmora {

namespace {

constexpr char32_t kSubstituto = 0xFFFD;

// Length of the sequence that starts with `b`, 0 when `b` cannot start one.
int comprimento(unsigned char b) {
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::u32string decodificaUtf8(std::string_view texto) {
    std::u32string saida;
    saida.reserve(texto.size());
    std::size_t i = 0;
    while (i < texto.size()) {
        const auto b = static_cast<unsigned char>(texto[i]);
        const int n = comprimento(b);
        if (n == 1) {
            saida.push_back(b);
            ++i;
            continue;
        }
        if (n == 0 || i + n > texto.size()) {
            saida.push_back(kSubstituto);
            ++i;
            continue;
        }
        char32_t c = b & (0xFF >> (n + 1));
        bool valido = true;
        for (int k = 1; k < n; ++k) {
            const auto seguinte = static_cast<unsigned char>(texto[i + k]);
            if ((seguinte & 0xC0) != 0x80) {
                valido = false;
                break;
            }
            c = (c << 6) | (seguinte & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        const bool curto = (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
        if (!valido || curto || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            saida.push_back(kSubstituto);
            ++i;
            continue;
        }
        saida.push_back(c);
        i += n;
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
