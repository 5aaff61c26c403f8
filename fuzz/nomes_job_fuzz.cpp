// Pattern match, backup name and folder part. The input is a pattern and a name separated by the
// first NUL byte (a name never holds one).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Exige.h"
#include "spooler/NomesJob.h"

using namespace velmora;

namespace {

std::string trocaCaixa(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return s;
}

// Code points of well-formed UTF-8, or nothing.
std::optional<std::u32string> decodifica(std::string_view s) {
    std::u32string r;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80         ? 1
                              : (b >> 5) == 6  ? 2
                              : (b >> 4) == 14 ? 3
                              : (b >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size()) return std::nullopt;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto seguinte = static_cast<unsigned char>(s[i + k]);
            if ((seguinte & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (seguinte & 0x3F);
        }
        const char32_t minimo[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < minimo[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        r += c;
        i += n;
    }
    return r;
}

// ASCII and the Latin-1 capitals (not the multiplication sign) fold to lower case.
char32_t minuscula(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    return c;
}

// Plain dynamic programming over characters: slow, obviously right.
bool casaReferencia(std::u32string_view p, std::u32string_view n) {
    std::vector<std::vector<char>> casa(p.size() + 1, std::vector<char>(n.size() + 1, 0));
    casa[p.size()][n.size()] = 1;
    for (std::size_t i = p.size(); i-- > 0;) {
        for (std::size_t j = n.size() + 1; j-- > 0;) {
            if (p[i] == U'*') {
                casa[i][j] = casa[i + 1][j] || (j < n.size() && casa[i][j + 1]);
            } else if (j < n.size() && (p[i] == U'?' || minuscula(p[i]) == minuscula(n[j]))) {
                casa[i][j] = casa[i + 1][j + 1];
            }
        }
    }
    return casa[0][0];
}

bool casaComoNaPasta(std::u32string_view p, std::u32string_view n) {
    if (casaReferencia(p, n)) return true;
    return p.size() >= 2 && p.ends_with(U".*") && n.find(U'.') == std::u32string_view::npos &&
           casaReferencia(p.substr(0, p.size() - 2), n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    const auto nul = entrada.find('\0');
    const std::string padrao(entrada.substr(0, nul));
    const std::string nome(nul == std::string_view::npos ? "" : entrada.substr(nul + 1));

    const bool casa = casaPadrao(padrao, nome);
    EXIGE(casaPadrao(nome, nome));
    EXIGE(casaPadrao("*", nome));
    EXIGE(casaPadrao(padrao, trocaCaixa(nome)) == casa);
    const auto p32 = decodifica(padrao);
    const auto n32 = decodifica(nome);
    if (p32 && n32 && p32->size() * n32->size() < 1'000'000) {
        EXIGE(casa == casaComoNaPasta(*p32, *n32));
    }

    // The backup of a job is recognised as one, and a job is never renamed onto itself.
    const std::string backup = nomeBackup(nome);
    EXIGE(ehBackupDeSi(backup));
    EXIGE(backup != nome || ehBackupDeSi(nome));
    EXIGE(backup.rfind(nome.substr(0, nome.rfind('.') + 1), 0) == 0);
    EXIGE(backup.ends_with("bak") || backup.ends_with("_.BAK"));
    if (nome.find('/') == std::string::npos) EXIGE(backup.find('/') == std::string::npos);

    const std::string pasta = parteDaPasta(padrao);
    EXIGE(padrao.rfind(pasta, 0) == 0);
    EXIGE(pasta.empty() || pasta.back() == '/');
    EXIGE(padrao.find('/', pasta.size()) == std::string::npos);
    return 0;
}
