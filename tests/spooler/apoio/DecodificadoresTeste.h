#pragma once

#include <string>
#include <vector>

#include "spooler/Decodificador.h"
#include "spooler/ErroPlataforma.h"

namespace velmora::teste {

// Every byte is the character of the same number, as in ISO-8859-1. Remembers what it was asked,
// and can fail a given call of decodifica (counted from 1) once.
class DecodificadorLatin1 : public Decodificador {
  public:
    mutable std::vector<std::string> escolhidos;  // jobs passed to escolhe
    mutable std::vector<std::string> codigos;     // code pages passed to decodifica
    mutable int chamadas = 0;
    mutable int falhaNaChamada = 0;  // 0: never fails

    std::string escolhe(std::string_view jobInteiro) const override {
        escolhidos.emplace_back(jobInteiro);
        return "ISO-8859-1";
    }

    std::u32string decodifica(std::string_view bytes, const std::string& codigo) const override {
        codigos.push_back(codigo);
        if (++chamadas == falhaNaChamada) {
            falhaNaChamada = 0;
            throw ErroPlataforma("conversão de ISO-8859-1 falhou");
        }
        std::u32string texto;
        for (const char c : bytes) texto += static_cast<char32_t>(static_cast<unsigned char>(c));
        return texto;
    }
};

// Well-formed UTF-8 sequences become their code point; any other byte becomes U+FFFD.
class DecodificadorUtf8 : public Decodificador {
  public:
    std::string escolhe(std::string_view) const override { return "UTF-8"; }

    std::u32string decodifica(std::string_view bytes, const std::string&) const override {
        std::u32string texto;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            const std::size_t n = b < 0x80         ? 1
                                  : (b >> 5) == 6  ? 2
                                  : (b >> 4) == 14 ? 3
                                  : (b >> 3) == 30 ? 4
                                                   : 0;
            char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
            bool valido = n != 0 && i + n <= bytes.size();
            for (std::size_t k = 1; valido && k < n; ++k) {
                const auto seguinte = static_cast<unsigned char>(bytes[i + k]);
                valido = (seguinte & 0xC0) == 0x80;
                c = (c << 6) | (seguinte & 0x3F);
            }
            texto += valido ? c : U'\uFFFD';
            i += valido ? n : 1;
        }
        return texto;
    }
};

}  // namespace velmora::teste
