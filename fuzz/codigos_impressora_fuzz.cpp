// The printer-code interpreter. The first byte picks the language, the job's code page and the
// kind of input: the rest as raw bytes, or a recipe from which a job is built of complete
// commands, each followed by a numbered mark of text. Raw bytes must never read out of bounds
// nor loop; built jobs must print every mark, in order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Exige.h"
#include "spooler/CodigosImpressora.h"

using namespace velmora;
using namespace std::string_view_literals;

namespace {

class Receita {
  public:
    Receita(const std::uint8_t* dados, std::size_t tamanho) : dados_(dados), tamanho_(tamanho) {}
    bool acabou() const { return pos_ >= tamanho_; }
    std::uint8_t byte() { return pos_ < tamanho_ ? dados_[pos_++] : 0; }
    // A small count, so that the data of one command stay short.
    unsigned contagem() { return byte() % 24; }

  private:
    const std::uint8_t* dados_;
    std::size_t tamanho_;
    std::size_t pos_ = 0;
};

void poeContagem(std::string& job, unsigned n) {
    job += static_cast<char>(n & 0xFF);
    job += static_cast<char>(n >> 8);
}

void poeBytes(std::string& job, Receita& r, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) job += static_cast<char>(r.byte());
}

// Run-length data that unpacks to exactly `total` bytes.
void poeComprimido(std::string& job, Receita& r, unsigned total) {
    while (total > 0) {
        const unsigned n = 1 + r.byte() % std::min(total, 128u);
        if (r.byte() & 1) {
            job += static_cast<char>(n - 1);
            poeBytes(job, r, n);
        } else if (n >= 2) {
            job += static_cast<char>(257 - n);
            job += static_cast<char>(r.byte());
        } else {
            job += '\0';
            job += static_cast<char>(r.byte());
        }
        total -= n;
    }
}

// Commands of the Epson and IBM tables that never move back on the line; the lengths are the
// manuals' own.
void comandoEscP(std::string& job, Receita& r, bool ibm) {
    // IBM gives R, :, X and others other lengths: each table keeps to its own.
    const std::string_view kSemParametro =
        ibm ? "@EFGH0O1T\x0e\x0f<89467:R2" : "@EFGH0O1T\x0e\x0f<89";
    const std::string_view kUmParametro =
        ibm ? "!-WwSpxkq 3+AJNlQaUsrtIm/5P^_%" : "!-WwSpxkq 3+AJNlQaUsrtRIm/";
    static const std::string_view kSoltos = "\t\n\f\v\x0e\x0f\x12\x14\x00\x07\x11\x13\x7f"sv;
    const unsigned forma = r.byte() % (ibm ? 16 : 18);
    const unsigned n = r.contagem();
    switch (forma) {
        case 0:
            job += kSoltos[r.byte() % kSoltos.size()];
            return;
        case 1:
            job += "\x1b";
            job += kSemParametro[r.byte() % kSemParametro.size()];
            return;
        case 2:
            job += "\x1b";
            job += kUmParametro[r.byte() % kUmParametro.size()];
            poeBytes(job, r, 1);
            return;
        case 3:
            job += "\x1b";
            job += "ef?c"[r.byte() % 4];
            poeBytes(job, r, 2);
            return;
        case 4:
            job +=
                "\x1b"
                "C";
            job += static_cast<char>(1 + r.byte() % 200);
            return;
        case 5:
            job += std::string(
                "\x1b"
                "C\0",
                3);
            job += static_cast<char>(r.byte());
            return;
        case 6: {
            static const std::uint8_t kModos[] = {0,  1,  2,  3,  4,  5,  6,  7,
                                                  32, 33, 38, 39, 40, 71, 72, 73};
            const std::uint8_t m = kModos[r.byte() % sizeof kModos];
            job += "\x1b*";
            job += static_cast<char>(m);
            poeContagem(job, n);
            poeBytes(job, r, n * (m < 8 ? 1 : m < 64 ? 3 : 6));
            return;
        }
        case 7:
            job += "\x1b";
            job += "KLYZ"[r.byte() % 4];
            poeContagem(job, n);
            poeBytes(job, r, n);
            return;
        case 8:
            job +=
                "\x1b"
                "D";
            for (unsigned i = 1; i <= n % 8; ++i) job += static_cast<char>(4 * i);
            job += '\0';
            return;
        case 9:
            job +=
                "\x1b"
                "B";
            for (unsigned i = 1; i <= n % 8; ++i) job += static_cast<char>(2 * i);
            job += '\0';
            return;
        case 10: {
            job += "\x1b(";
            job += static_cast<char>(r.byte() | 0x40);
            poeContagem(job, n);
            poeBytes(job, r, n);  // ESC ( ^ prints these: only more text
            return;
        }
        case 11:
            job += "\x1b[";
            job += static_cast<char>(r.byte());
            poeContagem(job, n);
            poeBytes(job, r, n);
            return;
        case 12: {
            const unsigned primeiro = r.byte(), ultimo = primeiro + n % 3;
            job += std::string("\x1b&\0", 3);
            job += static_cast<char>(primeiro);
            job += static_cast<char>(std::min(ultimo, 255u));
            poeBytes(job, r, (std::min(ultimo, 255u) - primeiro + 1) * 12);
            return;
        }
        case 13:
            job += "\x1bK";
            poeContagem(job, 0);
            return;
        case 14: {
            // IBM: ESC \ prints its data. Epson: raster graphics, raw or run-length.
            if (ibm) {
                job += "\x1b\\";
                poeContagem(job, n);
                poeBytes(job, r, n);
                return;
            }
            const bool comprimido = r.byte() & 1;
            const unsigned linhas = 1 + n % 8, pontos = r.byte();
            job += "\x1b.";
            job += static_cast<char>(comprimido ? 1 : 0);
            job += "\x0a\x0a";
            job += static_cast<char>(linhas);
            poeContagem(job, pontos);
            const unsigned total = linhas * ((pontos + 7) / 8);
            if (comprimido) {
                poeComprimido(job, r, total);
            } else {
                poeBytes(job, r, total);
            }
            return;
        }
        case 15:
            if (ibm) {
                job += "\x1b=";
                poeContagem(job, n);
                poeBytes(job, r, n);
            } else {
                job += "\x1b^";
                job += static_cast<char>(r.byte() & 1);
                poeContagem(job, n);
                poeBytes(job, r, 2 * n);
            }
            return;
        case 16:
            if (!ibm) {
                job += std::string("\x1b:\0", 3);
                job += static_cast<char>(r.byte());
                job += '\0';
            }
            return;
        default:
            job += "\x1bX";
            poeBytes(job, r, ibm ? 2 : 3);
            return;
    }
}

// PCL: two-character commands and parameterised ones by the grammar, with their data; no
// horizontal positioning (it may move back on the line).
void comandoPcl(std::string& job, Receita& r) {
    const std::uint8_t forma = r.byte();
    job += '\x1b';
    if (forma % 3 == 0) {
        job += static_cast<char>(48 + r.byte() % 79);
        return;
    }
    const char parametro = "&()*"[r.byte() % 4];
    job += parametro;
    char grupo = static_cast<char>(96 + r.byte() % 31);
    // &a and *p move on the line; &p carries bytes to print.
    if ((parametro == '&' && (grupo == 'a' || grupo == 'p')) ||
        (parametro == '*' && grupo == 'p')) {
        grupo = 's';
    }
    const bool semGrupo = (parametro == '(' || parametro == ')') && (forma & 4);
    if (!semGrupo) job += grupo;
    const unsigned campos = 1 + r.byte() % 3;
    for (unsigned i = 0; i < campos; ++i) {
        const std::uint8_t v = r.byte(), letra = r.byte();
        const bool ultimo = i + 1 == campos;
        if (letra % 7 == 0 && !semGrupo) {
            // A data field: the value is the count of bytes that follow, whatever they are.
            const unsigned n = v % 24;
            job += std::to_string(n);
            job += ultimo ? 'W' : 'w';
            poeBytes(job, r, n);
            continue;
        }
        if (v & 0x80) job += (v & 0x40) ? '-' : '+';
        job += std::to_string(v % 100);
        if (v & 0x20) job += ".5";
        const char c = static_cast<char>((ultimo ? 64 : 96) + letra % 31);
        job += (c == 'W' || c == 'w') ? static_cast<char>(c + 1) : c;
    }
}

std::string texto(const Linha& linha) {
    std::string r;
    for (const Trecho& t : linha.trechos) r += t.texto;
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 1) return 0;
    const std::uint8_t modo = dados[0];
    const auto linguagem = static_cast<LinguagemCodigos>(modo & 3);
    const std::string codigo = (modo & 4) ? "UTF-8" : "CP850";
    const bool receita = modo & 8;

    std::string job;
    std::vector<std::string> marcas;
    if (receita) {
        Receita r(dados + 1, tamanho - 1);
        for (unsigned i = 0; !r.acabou() && linguagem != LinguagemCodigos::nenhum; ++i) {
            if (linguagem == LinguagemCodigos::pcl) {
                comandoPcl(job, r);
            } else {
                comandoEscP(job, r, linguagem == LinguagemCodigos::ibm);
            }
            marcas.push_back("M" + std::to_string(i) + ";");
            job += marcas.back();
            if (i % 8 == 7) job += "\r\n";
        }
    } else {
        job.assign(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
    }

    CodigosImpressora codigos(job, linguagem, codigo);
    Linha linha;
    std::string impresso;
    std::size_t linhas = 0, caracteres = 0;
    while (codigos.proxima(linha)) {
        EXIGE(++linhas <= job.size() + 1);
        int x = -1;
        for (const Trecho& t : linha.trechos) {
            EXIGE(t.x >= x && t.larguraCaractere > 0 && !t.texto.empty());
            x = t.x;
            caracteres += t.texto.size();
        }
        EXIGE(linha.larguraColunas >= 0 && linha.avancoVertical >= 0);
        impresso += texto(linha);
        impresso += '\n';
    }
    EXIGE(caracteres <= job.size());

    // Every mark, in order, whatever commands came before it.
    std::size_t pos = 0;
    for (const std::string& marca : marcas) {
        pos = impresso.find(marca, pos);
        EXIGE(pos != std::string::npos);
        pos += marca.size();
    }

    // nenhum prints every byte that is not a control character.
    if (linguagem == LinguagemCodigos::nenhum && job.size() < 40000) {
        std::string esperado;
        for (const char c : job) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 && u != 0x7F) esperado += c;
        }
        std::string semQuebras;
        for (const char c : impresso) {
            if (c != '\n') semQuebras += c;
        }
        EXIGE(semQuebras == esperado);
    }
    return 0;
}
