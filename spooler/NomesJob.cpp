#include "NomesJob.h"

#include <cstdint>

namespace velmora {

namespace {

// One character of a name: a code point, or a byte that is no valid UTF-8 (kept apart from every
// code point so that such names still match byte for byte).
struct Unidade {
    std::uint32_t valor;
    std::size_t tamanho;
};

constexpr std::uint32_t kByteSolto = 0x110000;

bool continuacao(unsigned char byte) { return (byte & 0xC0) == 0x80; }

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

// Folds ASCII letters and the Latin-1 letters À-Þ (not ×) to lower case.
std::uint32_t minuscula(std::uint32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    return c;
}

char minusculaAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; }

}  // namespace

std::string parteDaPasta(const std::string& sLocal) {
    const auto barra = sLocal.rfind('/');
    if (barra == std::string::npos) return {};
    return sLocal.substr(0, barra + 1);
}

std::string nomeBackup(const std::string& nome) {
    const auto ponto = nome.rfind('.');
    if (ponto == std::string::npos) return nome + "_.BAK";
    return nome.substr(0, ponto + 1) + "bak";
}

bool ehBackupDeSi(const std::string& nome) {
    const std::string backup = nomeBackup(nome);
    if (backup.size() != nome.size()) return false;
    for (std::size_t i = 0; i < nome.size(); ++i) {
        if (minusculaAscii(nome[i]) != minusculaAscii(backup[i])) return false;
    }
    return true;
}

// Greedy matching that only ever backtracks to the last "*": quadratic at worst, never
// exponential.
namespace {

bool casaCuringas(std::string_view padrao, std::string_view nome) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t padraoAposEstrela = std::string_view::npos;
    std::size_t nomeAposEstrela = 0;

    while (n < nome.size()) {
        if (p < padrao.size()) {
            const Unidade up = leUnidade(padrao, p);
            const Unidade un = leUnidade(nome, n);
            if (up.valor == '*') {
                padraoAposEstrela = p + 1;
                nomeAposEstrela = n;
                p = padraoAposEstrela;
                continue;
            }
            if (up.valor == '?' || minuscula(up.valor) == minuscula(un.valor)) {
                p += up.tamanho;
                n += un.tamanho;
                continue;
            }
        }
        if (padraoAposEstrela == std::string_view::npos) return false;
        // Let the last "*" swallow one more character of the name and try again from there.
        nomeAposEstrela += leUnidade(nome, nomeAposEstrela).tamanho;
        n = nomeAposEstrela;
        p = padraoAposEstrela;
    }
    while (p < padrao.size() && padrao[p] == '*') ++p;
    return p == padrao.size();
}

}  // namespace

bool casaPadrao(std::string_view padrao, std::string_view nome) {
    if (casaCuringas(padrao, nome)) return true;
    // As in a Windows folder listing, a trailing ".*" also takes names without an extension, so
    // settings written there as *.* or REL01.* keep their meaning.
    return padrao.size() >= 2 && padrao.ends_with(".*") &&
           nome.find('.') == std::string_view::npos &&
           casaCuringas(padrao.substr(0, padrao.size() - 2), nome);
}

}  // namespace velmora
