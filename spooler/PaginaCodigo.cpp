#include "PaginaCodigo.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "spooler/Utf8.h"

namespace velmora {

namespace {

enum class Tipo : std::uint8_t { outro, minuscula, maiuscula, ordinal, caixa, indefinido };

// What each byte from 0x80 up is in one code page, as far as Portuguese reports go.
struct Pagina {
    std::array<Tipo, 128> tipos{};

    Pagina& marca(std::string_view bytes, Tipo tipo) {
        for (const char b : bytes) tipos[static_cast<unsigned char>(b) - 0x80] = tipo;
        return *this;
    }
    Tipo operator[](unsigned char b) const { return tipos[b - 0x80]; }
};

// à á â ã ç é ê í ó ô õ ú ü, their capitals, and the ordinals ª º.
const Pagina kPagina1252 =
    Pagina{}
        .marca("\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xED\xF3\xF4\xF5\xFA\xFC", Tipo::minuscula)
        .marca("\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD3\xD4\xD5\xDA\xDC", Tipo::maiuscula)
        .marca("\xAA\xBA", Tipo::ordinal)
        .marca("\x81\x8D\x8F\x90\x9D", Tipo::indefinido);

const Pagina kPagina850 =
    Pagina{}
        .marca("\x85\xA0\x83\xC6\x87\x82\x88\xA1\xA2\x93\xE4\xA3\x81", Tipo::minuscula)
        .marca("\xB7\xB5\xB6\xC7\x80\x90\xD2\xD6\xE0\xE2\xE5\xE9\x9A", Tipo::maiuscula)
        .marca("\xA6\xA7", Tipo::ordinal)
        .marca(
            "\xB0\xB1\xB2\xB3\xB4\xB9\xBA\xBB\xBC\xBF\xC0\xC1\xC2\xC3"
            "\xC4\xC5\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xD9\xDA\xDB\xDC\xDF",
            Tipo::caixa);

Pagina pagina437() {
    Pagina p;
    p.marca("\x85\xA0\x83\x87\x82\x88\xA1\xA2\x93\xA3\x81", Tipo::minuscula)
        .marca("\x80\x90\x9A", Tipo::maiuscula)
        .marca("\xA6\xA7", Tipo::ordinal);
    for (int b = 0xB0; b <= 0xDF; ++b) p.tipos[b - 0x80] = Tipo::caixa;
    return p;
}
const Pagina kPagina437 = pagina437();

bool ehMinusculaAscii(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool ehMaiusculaAscii(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool ehDigito(unsigned char c) { return c >= '0' && c <= '9'; }
// Where a lone line-drawing character stands in a table: beside blanks, line ends or the edges.
bool ehVazio(int c) { return c < 0 || c == ' ' || c == '\r' || c == '\n' || c == '\f'; }

// How much the bytes of `job` look like text in `pagina`.
long pontos(std::string_view job, const Pagina& pagina) {
    const auto byte = [&](std::size_t i, std::ptrdiff_t desvio) -> int {
        const auto j = static_cast<std::ptrdiff_t>(i) + desvio;
        if (j < 0 || j >= static_cast<std::ptrdiff_t>(job.size())) return -1;
        return static_cast<unsigned char>(job[static_cast<std::size_t>(j)]);
    };
    const auto ehCaixa = [&](int c) {
        return c >= 0x80 && pagina[static_cast<unsigned char>(c)] == Tipo::caixa;
    };

    long total = 0;
    std::size_t i = 0;
    while (i < job.size()) {
        i += prefixoAscii(job.substr(i));
        if (i >= job.size()) break;
        const auto c = static_cast<unsigned char>(job[i]);
        const Tipo tipo = pagina[c];
        if (tipo == Tipo::caixa) {
            // A run of box drawing: long runs are ruled lines, a lone one a column separator.
            std::size_t fim = i;
            while (fim < job.size() && ehCaixa(static_cast<unsigned char>(job[fim]))) ++fim;
            const std::size_t comprimento = fim - i;
            if (comprimento >= 3) {
                total += 2 * static_cast<long>(comprimento);
            } else if (comprimento == 2) {
                total += 2;
            } else if (ehVazio(byte(i, -1)) || ehVazio(byte(i, 1))) {
                total += 1;
            }
            i = fim;
            continue;
        }
        const int antes = byte(i, -1);
        const int depois = byte(i, 1);
        const auto vizinho = [&](auto&& teste) {
            return (antes >= 0 && teste(static_cast<unsigned char>(antes))) ||
                   (depois >= 0 && teste(static_cast<unsigned char>(depois)));
        };
        const auto letra = [](unsigned char v) {
            return ehMinusculaAscii(v) || ehMaiusculaAscii(v);
        };
        switch (tipo) {
            case Tipo::minuscula:
                total += vizinho(ehMinusculaAscii) ? 2 : vizinho(letra) ? 1 : 0;
                break;
            case Tipo::maiuscula:
                total += vizinho(ehMaiusculaAscii) ? 2 : vizinho(letra) ? 1 : 0;
                break;
            case Tipo::ordinal:
                total += vizinho([&](unsigned char v) { return letra(v) || ehDigito(v); }) ? 2 : 0;
                break;
            case Tipo::indefinido:
                total -= 1;
                break;
            default:
                break;
        }
        ++i;
    }
    return total;
}

// What a DOS code page must win by: one solid sign, not a stray byte.
constexpr long kMargemDos = 2;
// A report keeps its code page from start to end: its first megabytes are evidence enough, and
// a 100 MB job is not weighed three times whole.
constexpr std::size_t kAmostra = 8u << 20;

}  // namespace

std::size_t prefixoAscii(std::string_view bytes) {
    constexpr std::uint64_t kBitsAltos = 0x8080808080808080ull;
    std::size_t i = 0;
    // Eight bytes at a time: jobs are mostly ASCII, and a 100 MB job is checked whole.
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t bloco;
        std::memcpy(&bloco, bytes.data() + i, sizeof bloco);
        if ((bloco & kBitsAltos) != 0) break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i;
}

bool ehUtf8Valido(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i += prefixoAscii(bytes.substr(i));
            continue;
        }
        const Unidade u = leUnidade(bytes, i);
        if (u.valor >= kByteSolto) return false;
        i += u.tamanho;
    }
    return true;
}

std::string codigoPeloConteudo(std::string_view job) {
    if (ehUtf8Valido(job)) return kUtf8;
    job = job.substr(0, kAmostra);
    const long windows = pontos(job, kPagina1252);
    const long cp850 = pontos(job, kPagina850);
    const long cp437 = pontos(job, kPagina437);
    // CP437 and CP850 share their lines and most letters: CP437 only where its own pieces show.
    const bool eh437 = cp437 > cp850;
    const long dos = eh437 ? cp437 : cp850;
    if (dos >= windows + kMargemDos) return eh437 ? kCp437 : kCp850;
    return kWindows1252;
}

bool ehCodigoDos(const std::string& codigo) { return codigo == kCp850 || codigo == kCp437; }

}  // namespace velmora
