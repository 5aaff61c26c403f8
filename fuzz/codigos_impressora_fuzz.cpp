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

void esc(std::string& job, char letra) {
    job += '\x1b';
    job += letra;
}

// Commands of the Epson and IBM tables that never move back on the line; the lengths are the
// manuals' own.
void comandoEscP(std::string& job, Receita& r, bool ibm) {
    // IBM gives R, :, X and others other lengths: each table keeps to its own.
    const std::string_view semParametro =
        ibm ? "@EFGH0O1T\x0e\x0f<89467:R2" : "@EFGH0O1T\x0e\x0f<89";
    const std::string_view umParametro =
        ibm ? "!-WwSpxkq 3+AJNlQaUsrtIm/5P^_%" : "!-WwSpxkq 3+AJNlQaUsrtRIm/";
    static const std::string_view kSoltos = "\t\n\f\v\x0e\x0f\x12\x14\x00\x07\x11\x13\x7f"sv;
    static const std::uint8_t kDensidades[] = {0,  1,  2,  3,  4,  5,  6,  7,
                                               32, 33, 38, 39, 40, 71, 72, 73};
    const unsigned forma = r.byte() % 17;
    const unsigned n = r.contagem();
    switch (forma) {
        case 0:
            job += kSoltos[r.byte() % kSoltos.size()];
            break;
        case 1:
            esc(job, semParametro[r.byte() % semParametro.size()]);
            break;
        case 2:
            esc(job, umParametro[r.byte() % umParametro.size()]);
            poeBytes(job, r, 1);
            break;
        case 3:
            esc(job, "ef?c"[r.byte() % 4]);
            poeBytes(job, r, 2);
            break;
        case 4:  // page length in lines, or NUL and inches
            esc(job, 'C');
            if (r.byte() & 1) job += '\0';
            job += static_cast<char>(1 + r.byte() % 200);
            break;
        case 5: {
            const std::uint8_t m = kDensidades[r.byte() % sizeof kDensidades];
            esc(job, '*');
            job += static_cast<char>(m);
            poeContagem(job, n);
            poeBytes(job, r, n * (m < 8 ? 1 : m < 64 ? 3 : 6));
            break;
        }
        case 6:
            esc(job, "KLYZ"[r.byte() % 4]);
            poeContagem(job, n);
            poeBytes(job, r, n);
            break;
        case 7:
        case 8:  // tab stops, horizontal or vertical, in rising order
            esc(job, forma == 7 ? 'D' : 'B');
            for (unsigned i = 1; i <= n % 8; ++i)
                job += static_cast<char>((forma == 7 ? 4 : 2) * i);
            job += '\0';
            break;
        case 9:
        case 10:  // ESC ( (ESC ( ^ prints its data: only more text) and ESC [
            esc(job, forma == 9 ? '(' : '[');
            job += static_cast<char>(r.byte() | 0x40);
            poeContagem(job, n);
            poeBytes(job, r, n);
            break;
        case 11: {
            const unsigned primeiro = r.byte(), ultimo = std::min(primeiro + n % 3, 255u);
            esc(job, '&');
            job += '\0';
            job += static_cast<char>(primeiro);
            job += static_cast<char>(ultimo);
            poeBytes(job, r, (ultimo - primeiro + 1) * 12);
            break;
        }
        case 12:  // IBM prints these bytes; Epson draws them
            esc(job, ibm ? '\\' : '^');
            if (!ibm) job += static_cast<char>(r.byte() & 1);
            poeContagem(job, n);
            poeBytes(job, r, ibm ? n : 2 * n);
            break;
        case 13: {
            if (ibm) {  // download
                esc(job, '=');
                poeContagem(job, n);
                poeBytes(job, r, n);
                break;
            }
            const bool comprimido = r.byte() & 1;
            const unsigned linhas = 1 + n % 8, pontos = r.byte();
            esc(job, '.');
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
            break;
        }
        case 14:
            esc(job, ':');
            if (!ibm) {
                job += '\0';
                job += static_cast<char>(r.byte());
                job += '\0';
            }
            break;
        case 15:
            esc(job, 'X');
            poeBytes(job, r, ibm ? 2 : 3);
            break;
        default:
            esc(job, 'K');
            poeContagem(job, 0);
            break;
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
