#include "SintaxePdf.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "spooler/Utf8.h"

namespace velmora::pdf {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Code points of a UTF-8 text; a byte that starts no valid sequence stands for U+FFFD.
template <typename F>
void paraCadaPonto(std::string_view texto, F&& f) {
    for (std::size_t i = 0; i < texto.size();) {
        const Unidade u = leUnidade(texto, i);
        f(u.valor < kByteSolto ? static_cast<char32_t>(u.valor) : U'\uFFFD');
        i += u.tamanho;
    }
}

}  // namespace

void numero(std::string& saida, double valor) {
    double arredondado = std::round(valor * 100) / 100;
    if (arredondado == 0 || !std::isfinite(arredondado)) arredondado = 0;  // no "-0"
    char texto[32];
    auto [fim, erro] =
        std::to_chars(texto, texto + sizeof texto, arredondado, std::chars_format::fixed, 2);
    if (erro != std::errc()) {
        saida += '0';
        return;
    }
    while (fim[-1] == '0') --fim;
    if (fim[-1] == '.') --fim;
    saida.append(texto, fim);
}

void inteiro(std::string& saida, long long valor) {
    char texto[24];
    const auto fim = std::to_chars(texto, texto + sizeof texto, valor).ptr;
    saida.append(texto, fim);
}

void referencia(std::string& saida, int objeto) {
    inteiro(saida, objeto);
    saida += " 0 R";
}

void utf16(std::string& saida, char32_t ponto) {
    const auto hex4 = [&](unsigned valor) {
        for (int deslocamento = 12; deslocamento >= 0; deslocamento -= 4) {
            saida += kHex[(valor >> deslocamento) & 0xF];
        }
    };
    if (ponto >= 0x10000) {
        ponto -= 0x10000;
        hex4(0xD800 + (ponto >> 10));
        hex4(0xDC00 + (ponto & 0x3FF));
    } else {
        hex4(ponto);
    }
}

void textoPdf(std::string& saida, std::string_view utf8) {
    bool ascii = true;
    for (const char c : utf8) ascii = ascii && c >= 0x20 && c < 0x7F;
    if (ascii) {
        saida += '(';
        for (const char c : utf8) {
            if (c == '(' || c == ')' || c == '\\') saida += '\\';
            saida += c;
        }
        saida += ')';
        return;
    }
    saida += "<FEFF";
    paraCadaPonto(utf8, [&](char32_t ponto) { utf16(saida, ponto); });
    saida += '>';
}

void nomePdf(std::string& saida, std::string_view nome) {
    saida += '/';
    for (const char c : nome) {
        const auto u = static_cast<unsigned char>(c);
        const bool delimitador = std::string_view("()<>[]{}/%#").find(c) != std::string_view::npos;
        if (u <= 0x20 || u >= 0x7F || delimitador) {
            saida += '#';
            saida += kHex[u >> 4];
            saida += kHex[u & 0xF];
        } else {
            saida += c;
        }
    }
}

}  // namespace velmora::pdf
