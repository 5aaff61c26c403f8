#include "spooler/Utf8.h"

namespace velmora {

namespace {

bool continuacao(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

Unidade leUnidade(std::string_view texto, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(texto[pos + i]); };
    const unsigned char primeiro = byte(0);
    const Unidade solto{kByteSolto + primeiro, 1};
    if (primeiro < 0x80) return {primeiro, 1};

    std::size_t tamanho = 0;
    std::uint32_t minimo = 0;
    if ((primeiro & 0xE0) == 0xC0) {
        tamanho = 2;
        minimo = 0x80;
    } else if ((primeiro & 0xF0) == 0xE0) {
        tamanho = 3;
        minimo = 0x800;
    } else if ((primeiro & 0xF8) == 0xF0) {
        tamanho = 4;
        minimo = 0x10000;
    } else {
        return solto;
    }
    std::uint32_t valor = primeiro & (0x7F >> tamanho);
    if (pos + tamanho > texto.size()) return solto;
    for (std::size_t i = 1; i < tamanho; ++i) {
        if (!continuacao(byte(i))) return solto;
        valor = (valor << 6) | (byte(i) & 0x3F);
    }
    if (valor < minimo || valor > 0x10FFFF || (valor >= 0xD800 && valor <= 0xDFFF)) return solto;
    return {valor, tamanho};
}

}  // namespace velmora
