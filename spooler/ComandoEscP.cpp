#include "spooler/ComandoEscP.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

namespace {

constexpr unsigned char kNul = 0x00;

unsigned char byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// Letters by the number of fixed bytes after them. The IBM table is read first: the same letters
// mean other commands there.
constexpr std::string_view kIbm0 = "467:R2", kIbm1 = "5P^_%A", kIbm2 = "X", kIbmDados = "\\=";
constexpr std::string_view kEpson0 = "@EFGH45PMg012OT<89#=>67\x0e\x0f";
constexpr std::string_view kEpson1 = "!-WwSpxkq 3+AJjNlQaUs\x19rtRIm%/ih";
constexpr std::string_view kEpson2 = "$\\ef?c", kEpson3 = "X:";

bool em(std::string_view letras, unsigned char letra) {
    return letras.find(static_cast<char>(letra)) != std::string_view::npos;
}

// Bytes after the letter that do not depend on the data; -1 for the commands that carry data,
// lists or a choice of form.
int parametrosFixos(unsigned char letra, bool ibm) {
    if (letra == 0) return -1;
    if (ibm) {
        if (em(kIbm0, letra)) return 0;
        if (em(kIbm1, letra)) return 1;
        if (em(kIbm2, letra)) return 2;
        if (em(kIbmDados, letra)) return -1;
    }
    if (em(kEpson0, letra)) return 0;
    if (em(kEpson1, letra)) return 1;
    if (em(kEpson2, letra)) return 2;
    if (em(kEpson3, letra)) return 3;
    return -1;
}

class Corte {
  public:
    Corte(std::string_view job, std::size_t pos) : job_(job), inicio_(pos), fim_(pos + 2) {
        cmd_.letra = byte(job, pos + 1);
    }

    // Takes n more fixed bytes; false when the job ends first.
    bool parametros(std::size_t n) {
        if (!cabe(n)) return false;
        cmd_.parametros = job_.substr(fim_, n);
        fim_ += n;
        return true;
    }
    std::size_t p(std::size_t i) const { return static_cast<unsigned char>(cmd_.parametros[i]); }
    std::size_t palavra(std::size_t i) const { return p(i) + 256 * p(i + 1); }

    bool dados(std::uint64_t n) {
        if (!cabe(n)) return false;
        cmd_.dados = job_.substr(fim_, n);
        fim_ += n;
        return true;
    }

    // A list of at most `maximo` values in rising order, ended by NUL or by a value lower than
    // the one before it.
    bool lista(std::size_t maximo) {
        const std::size_t inicio = fim_;
        unsigned char anterior = 0;
        for (std::size_t n = 0;; ++n) {
            if (fim_ >= job_.size()) return false;
            const unsigned char v = byte(job_, fim_);
            if (n == maximo && v != kNul) break;
            ++fim_;
            if (v == kNul || v < anterior) {
                cmd_.dados = job_.substr(inicio, fim_ - 1 - inicio);
                return true;
            }
            anterior = v;
        }
        cmd_.dados = job_.substr(inicio, fim_ - inicio);
        return true;
    }

    // ESC . with run-length data: counters until `total` bytes are unpacked.
    bool comprimido(std::uint64_t total) {
        const std::size_t inicio = fim_;
        std::uint64_t feitos = 0;
        while (feitos < total) {
            if (fim_ >= job_.size()) return false;
            const unsigned char contador = byte(job_, fim_);
            const std::uint64_t literais = contador < 128 ? contador + 1u : 1u;
            if (!cabe(1 + literais)) return false;
            fim_ += 1 + literais;
            feitos += contador < 128 ? contador + 1u : 257u - contador;
        }
        cmd_.dados = job_.substr(inicio, fim_ - inicio);
        return true;
    }

    ComandoEscP pronto() {
        cmd_.tamanho = fim_ - inicio_;
        return cmd_;
    }
    ComandoEscP truncado() {
        cmd_.tamanho = job_.size() - inicio_;
        cmd_.truncado = true;
        return cmd_;
    }

  private:
    bool cabe(std::uint64_t n) const { return n <= job_.size() - fim_; }

    std::string_view job_;
    std::size_t inicio_;
    std::size_t fim_;
    ComandoEscP cmd_;
};

// Bytes per column of ESC * by density: 8-dot, 24-dot and 48-dot modes.
std::uint64_t bytesPorColuna(std::size_t m) { return m < 32 ? 1 : m < 64 ? 3 : 6; }

}  // namespace

ComandoEscP leComandoEscP(std::string_view job, std::size_t pos, bool ibm) {
    if (pos + 1 >= job.size()) {
        ComandoEscP cmd;
        cmd.tamanho = job.size() - pos;
        cmd.truncado = true;
        return cmd;
    }
    Corte c(job, pos);
    const unsigned char letra = byte(job, pos + 1);
    const int fixos = parametrosFixos(letra, ibm);
    if (fixos >= 0) return c.parametros(fixos) ? c.pronto() : c.truncado();

    bool ok = true;
    switch (letra) {
        case 'C':
            // ESC C NUL n gives the length in inches.
            ok = c.parametros(pos + 2 < job.size() && byte(job, pos + 2) == kNul ? 2 : 1);
            break;
        case '*':
            ok = c.parametros(3) && c.dados(c.palavra(1) * bytesPorColuna(c.p(0)));
            break;
        case 'K':
        case 'L':
        case 'Y':
        case 'Z':
            ok = c.parametros(2) && c.dados(c.palavra(0));
            break;
        case '^':
            ok = c.parametros(3) && c.dados(2 * std::uint64_t{c.palavra(1)});
            break;
        case '.': {
            ok = c.parametros(6);
            if (!ok) break;
            const std::uint64_t total = c.p(3) * ((c.palavra(4) + 7) / 8);
            ok = c.p(0) == 1 ? c.comprimido(total) : c.dados(total);
            break;
        }
        case '&': {
            // 9-pin download: per character an attribute byte and 11 columns.
            ok = c.parametros(3);
            if (!ok) break;
            const std::size_t primeiro = c.p(1), ultimo = c.p(2);
            ok = c.dados(ultimo >= primeiro ? (ultimo - primeiro + 1) * 12 : 0);
            break;
        }
        case '(':
        case '[':
            ok = c.parametros(3) && c.dados(c.palavra(1));
            break;
        case '\\':
        case '=':  // IBM: print or download N bytes
            ok = c.parametros(2) && c.dados(c.palavra(0));
            break;
        case 'D':
            ok = c.lista(32);
            break;
        case 'B':
            ok = c.lista(16);
            break;
        case 'b':
            ok = c.parametros(1) && c.lista(16);
            break;
        default: {
            // Unknown: a control byte after ESC keeps its own meaning; any other byte goes with it.
            ComandoEscP cmd;
            cmd.letra = letra;
            cmd.tamanho = letra < 0x20 ? 1 : 2;
            return cmd;
        }
    }
    return ok ? c.pronto() : c.truncado();
}

}  // namespace velmora
