#include "spooler/Caixa.h"

#include <algorithm>
#include <iterator>

#include "spooler/Utf8.h"

namespace velmora {

namespace {

struct Corrida {
    std::uint32_t primeiro;
    std::uint32_t ultimo;
    std::uint32_t passo;
    std::int32_t deslocamento;
};

constexpr Corrida kCorridas[] = {
#include "spooler/TabelaCaixa.inc"
};

}  // namespace

std::uint32_t dobraCaixa(std::uint32_t caractere) {
    if (caractere < 0x80) {
        return (caractere >= 'A' && caractere <= 'Z') ? caractere + 0x20 : caractere;
    }
    // The last run that starts at or before the character.
    const auto depois = std::upper_bound(
        std::begin(kCorridas), std::end(kCorridas), caractere,
        [](std::uint32_t c, const Corrida& corrida) { return c < corrida.primeiro; });
    if (depois == std::begin(kCorridas)) return caractere;
    const Corrida& corrida = *(depois - 1);
    if (caractere > corrida.ultimo || (caractere - corrida.primeiro) % corrida.passo != 0) {
        return caractere;
    }
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(caractere) + corrida.deslocamento);
}

std::u32string dobraCaixa(std::string_view texto) {
    std::u32string r;
    r.reserve(texto.size());
    for (std::size_t pos = 0; pos < texto.size();) {
        const Unidade u = leUnidade(texto, pos);
        r.push_back(dobraCaixa(u.valor));
        pos += u.tamanho;
    }
    return r;
}

bool igualSemCaixa(std::string_view a, std::string_view b) {
    return dobraCaixa(a) == dobraCaixa(b);
}

// Walks the text in place: it runs for every line of a job, which may be megabytes long.
bool contemSemCaixa(std::string_view texto, std::string_view trecho) {
    const std::u32string procurado = dobraCaixa(trecho);
    if (procurado.empty()) return true;
    for (std::size_t inicio = 0; inicio < texto.size();) {
        // An ASCII byte is a character of its own: most of a report is passed over undecoded.
        const auto byte = static_cast<unsigned char>(texto[inicio]);
        if (byte < 0x80 && dobraCaixa(byte) != procurado[0]) {
            ++inicio;
            continue;
        }
        std::size_t pos = inicio;
        std::size_t i = 0;
        while (i < procurado.size() && pos < texto.size()) {
            const Unidade u = leUnidade(texto, pos);
            if (dobraCaixa(u.valor) != procurado[i]) break;
            pos += u.tamanho;
            ++i;
        }
        if (i == procurado.size()) return true;
        inicio += leUnidade(texto, inicio).tamanho;
    }
    return false;
}

}  // namespace velmora
