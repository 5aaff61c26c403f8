#include "spooler/CodigosImpressora.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <utility>

#include "spooler/ComandoEscP.h"
#include "spooler/ComandoPcl.h"
#include "spooler/MontagemLinha.h"
#include "spooler/TabelasCaracteres.h"

namespace velmora {

namespace {

constexpr unsigned char kBs = 0x08, kHt = 0x09, kLf = 0x0A, kVt = 0x0B, kFf = 0x0C, kCr = 0x0D,
                        kSo = 0x0E, kSi = 0x0F, kDc2 = 0x12, kDc4 = 0x14, kCan = 0x18, kEsc = 0x1B,
                        kDel = 0x7F;

// Pitches as the advance of one character.
constexpr int kPica = 216;             // 10 cpi
constexpr int kElite = 180;            // 12 cpi
constexpr int kMicron = 144;           // 15 cpi
constexpr int kPicaCondensado = 126;   // 17.14 cpi
constexpr int kEliteCondensado = 108;  // 20 cpi
constexpr int kUmSextoPolegada = 360;
constexpr int kTabPadrao = 8 * kPica;
constexpr int kMaiorAvanco = 3 * kUnidadesPorPolegada;  // ESC c goes up to 3 inches
constexpr std::int64_t kLimiteX = 100'000'000;          // far past any paper

// Units of the Epson commands (9-pin reading: ESC 3 n/216, ESC A n/72, ESC \ and ESC SP n/120).
constexpr int kPor216 = 10, kPor360 = 6, kPor72 = 30, kPor60 = 36, kPor120 = 18;

int arredonda(double v) {
    if (!(v > -1e8)) return -100000000;
    if (!(v < 1e8)) return 100000000;
    return static_cast<int>(std::lround(v));
}

std::string emMinusculas(std::string_view s) {
    std::string r;
    for (char c : s) r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

bool contem(std::string_view job, std::string_view padrao) {
    return job.find(padrao) != std::string_view::npos;
}

std::size_t tamanhoUtf8(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 1;
}

}  // namespace

std::optional<LinguagemCodigos> linguagemPorNome(std::string_view nome) {
    const std::string n = emMinusculas(nome);
    if (n == "epson") return LinguagemCodigos::epson;
    if (n == "ibm") return LinguagemCodigos::ibm;
    if (n == "pcl") return LinguagemCodigos::pcl;
    if (n == "nenhum") return LinguagemCodigos::nenhum;
    return std::nullopt;
}

LinguagemCodigos detectaLinguagem(std::string_view job) {
    if (contem(job, "\x1b&l") || contem(job, "\x1b(s")) return LinguagemCodigos::pcl;
    for (std::size_t pos = job.find("\x1b"
                                    "E\x1b");
         pos != std::string_view::npos; pos = job.find("\x1b"
                                                       "E\x1b",
                                                       pos + 1)) {
        const std::string_view seguinte = job.substr(pos + 3);
        if (seguinte.empty()) break;
        // PCL's ESC & takes a group letter; Epson's ESC & (character definition) takes NUL.
        if (seguinte[0] == '&' && seguinte.size() > 1 && seguinte[1] >= '`' && seguinte[1] <= '~') {
            return LinguagemCodigos::pcl;
        }
        if (seguinte[0] == '(' && seguinte.size() > 1 &&
            (seguinte[1] == 's' || std::isdigit(static_cast<unsigned char>(seguinte[1])))) {
            return LinguagemCodigos::pcl;
        }
    }
    return LinguagemCodigos::epson;
}

class CodigosImpressora::Interpretador {
  public:
    Interpretador(std::string_view job, LinguagemCodigos linguagem, std::string codigoJob)
        : job_(job), linguagem_(linguagem) {
        utf8Job_ = emMinusculas(codigoJob) == "utf-8" || emMinusculas(codigoJob) == "utf8";
        tabelaGrafica_ = ehCodigoDos(codigoJob) ? codigoJob : "CP437";
        codigos_.push_back(std::move(codigoJob));
        e_ = Estado{};
    }

    bool proxima(Linha& linha) {
        saida_ = &linha;
        pronta_ = false;
        while (!pronta_ && pos_ < job_.size()) {
            if (linguagem_ == LinguagemCodigos::nenhum) {
                passoSemCodigos();
            } else {
                passo();
            }
        }
        if (!pronta_ && pos_ >= job_.size() && (!montagem_.vazia() || paginaPendente_)) {
            fecha(e_.entrelinha, paginaPendente_, true);
            paginaPendente_ = false;
        }
        return pronta_;
    }

  private:
    // Everything that ESC @ (or PCL's ESC E) puts back.
    struct Estado {
        bool enfatizado = false, duploImpacto = false, italico = false, sublinhado = false;
        bool larguraDupla = false, larguraDuplaLinha = false, alturaDupla = false;
        PosicaoVertical posicao = PosicaoVertical::normal;
        int passoBase = kPica;
        bool condensado = false;
        int hmi = 0;  // a fixed advance (ESC c, PCL &k#H) over the pitch; 0: none
        int espacoExtra = 0;
        double pontos = 0;
        int margem = 0;
        bool tabsPadrao = true;
        std::vector<int> tabs;  // from the left margin
        int entrelinha = kUmSextoPolegada;
        int entrelinhaGuardada = 0;  // IBM ESC A, applied by ESC 2
        std::vector<int> tabsVerticais;
        int alturaPagina = 0, linhasPagina = 0, pulaPerfuracao = 0;
        bool paisagem = false;
        int tabela = -1;                     // ESC t; -1: none selected, the job's code page
        std::array<std::string, 4> tabelas;  // ESC ( t assignments
        std::uint16_t codigo = 0;
        std::uint8_t conjunto = 0;
        int unidadePagina = 10;  // ESC ( U, in 1/3600 inch
    };

    unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(job_[i]); }
    bool ibm() const { return linguagem_ == LinguagemCodigos::ibm; }

    int avancoSemDupla() const {
        if (e_.hmi > 0) return e_.hmi;
        if (e_.condensado && e_.passoBase == kPica) return kPicaCondensado;
        if (e_.condensado && e_.passoBase == kElite) return kEliteCondensado;
        return e_.passoBase;
    }
    bool dupla() const { return e_.larguraDupla || e_.larguraDuplaLinha; }
    int largura() const { return (avancoSemDupla() + e_.espacoExtra) * (dupla() ? 2 : 1); }

    Atributos atributos() const {
        Atributos a;
        a.negrito = e_.enfatizado || e_.duploImpacto;
        a.italico = e_.italico;
        a.sublinhado = e_.sublinhado;
        a.larguraDupla = dupla();
        a.alturaDupla = e_.alturaDupla;
        a.posicao = e_.posicao;
        a.cpi = static_cast<double>(kUnidadesPorPolegada) / avancoSemDupla();
        a.pontos = e_.pontos;
        return a;
    }

    // --- the line being built ---

    // Attributes are worked out again only after a code could have changed them.
    void poe(std::string_view caractere) {
        if (!marcaValida_) {
            marca_.estilo = montagem_.estilo(atributos());
            marca_.largura = largura();
            marca_.codigo = e_.codigo;
            marca_.conjunto = e_.conjunto;
            marcaValida_ = true;
        }
        montagem_.poe(x_, caractere, marca_);
        moveX(std::int64_t{x_} + marca_.largura);
    }

    // Characters from job[pos_]: one byte, or a UTF-8 sequence while the job's own UTF-8 is in
    // force. Returns the bytes taken.
    std::size_t poeCaractere(std::size_t pos, std::size_t fim) {
        std::size_t n = 1;
        if (utf8Job_ && e_.codigo == 0) {
            const std::size_t esperado = tamanhoUtf8(byte(pos));
            while (n < esperado && pos + n < fim && (byte(pos + n) & 0xC0) == 0x80) ++n;
        }
        poe(job_.substr(pos, n));
        return n;
    }

    void imprimeLiteral(std::string_view dados) {
        marcaValida_ = false;  // an earlier field of the same command may have changed it
        const std::size_t inicio = static_cast<std::size_t>(dados.data() - job_.data());
        for (std::size_t i = inicio; i < inicio + dados.size();) {
            i += poeCaractere(i, inicio + dados.size());
        }
    }

    // Ends the line: hands it out with the paper's move after it.
    void fecha(int avanco, bool novaPagina, bool voltaMargem) {
        Linha& l = *saida_;
        paginaTemConteudo_ = paginaTemConteudo_ || !montagem_.vazia();
        montagem_.entrega(l, codigos_);

        posicaoVertical_ += avanco;
        // A skip over the perforation as long as the page would leave no room: ignored.
        const int pulo = e_.pulaPerfuracao < e_.alturaPagina ? e_.pulaPerfuracao : 0;
        if (!novaPagina && e_.alturaPagina > 0 && posicaoVertical_ >= e_.alturaPagina - pulo) {
            novaPagina = true;
        }
        if (novaPagina) {
            avanco = 0;
            posicaoVertical_ = 0;
            paginaTemConteudo_ = false;
        }
        l.avancoVertical = avanco;
        l.novaPagina = novaPagina;
        l.alturaPagina = e_.alturaPagina;
        l.linhasPagina = e_.linhasPagina;
        l.paisagem = e_.paisagem;
        if (voltaMargem) x_ = e_.margem;
        e_.larguraDuplaLinha = false;
        marcaValida_ = false;
        pronta_ = true;
    }

    void fechaComLf() { fecha(e_.entrelinha, false, true); }

    void tabVertical() {
        for (int parada : e_.tabsVerticais) {
            if (parada > posicaoVertical_) {
                fecha(static_cast<int>(parada - posicaoVertical_), false, true);
                return;
            }
        }
        fechaComLf();
    }

    void tabHorizontal() {
        const int relativo = x_ - e_.margem;
        if (e_.tabsPadrao) {
            moveX(e_.margem + (std::int64_t{relativo} / kTabPadrao + 1) * kTabPadrao);
            return;
        }
        for (int parada : e_.tabs) {
            if (parada > relativo) {
                moveX(std::int64_t{e_.margem} + parada);
                return;
            }
        }
    }

    void reinicia() { e_ = Estado{}; }

    void moveX(std::int64_t x) { x_ = static_cast<int>(std::clamp<std::int64_t>(x, 0, kLimiteX)); }

    // --- one step of the job ---

    // Control bytes that every language shares; false for a byte that is not one.
    bool controleComum(unsigned char b) {
        switch (b) {
            case kCr:
                if (pos_ + 1 < job_.size() && byte(pos_ + 1) == kLf) {
                    pos_ += 2;
                    fechaComLf();
                } else if (pos_ + 1 >= job_.size()) {
                    ++pos_;
                    fechaComLf();
                } else {
                    ++pos_;
                    x_ = e_.margem;
                }
                return true;
            case kLf:
                ++pos_;
                fechaComLf();
                return true;
            case kFf:
                ++pos_;
                fecha(0, true, true);
                return true;
            case kVt:
                ++pos_;
                tabVertical();
                return true;
            case kBs:
                ++pos_;
                moveX(std::max(e_.margem, x_ - largura()));
                return true;
            case kHt:
                ++pos_;
                tabHorizontal();
                return true;
            case kCan:
                ++pos_;
                montagem_.limpa();
                x_ = e_.margem;
                return true;
            default:
                return false;
        }
    }

    void passo() {
        const unsigned char b = byte(pos_);
        if (b >= 0x20 && b != kDel) {
            pos_ += poeCaractere(pos_, job_.size());
            return;
        }
        marcaValida_ = false;
        if (controleComum(b)) return;
        if (b == kEsc) {
            if (linguagem_ == LinguagemCodigos::pcl) {
                comandoPcl();
            } else {
                comandoEscP();
            }
        } else {
            ++pos_;
            if (linguagem_ != LinguagemCodigos::pcl) modoDeUmByte(b);  // PCL's SO, SI pick fonts
        }
        marcaValida_ = false;
    }

    void modoDeUmByte(unsigned char b) {
        switch (b) {
            case kSo:
                e_.larguraDuplaLinha = true;
                break;
            case kSi:
                e_.condensado = true;
                break;
            case kDc2:
                e_.condensado = false;
                if (ibm()) pitch(kPica);
                break;
            case kDc4:
                e_.larguraDuplaLinha = false;
                break;
            default:
                break;  // NUL, BEL, DC1, DC3, SUB, DEL: nothing printable
        }
    }

    // No codes: lines end at CR or CR LF as the reader splits them, every control byte but the tab
    // is left out, a form feed ends the page after its line.
    void passoSemCodigos() {
        const unsigned char b = byte(pos_);
        if (b >= 0x20 && b != kDel) {
            pos_ += poeCaractere(pos_, job_.size());
            return;
        }
        ++pos_;
        if (b == kCr) {
            if (pos_ < job_.size() && byte(pos_) == kLf) ++pos_;
            fecha(e_.entrelinha, paginaPendente_, true);
            paginaPendente_ = false;
        } else if (b == kFf) {
            paginaPendente_ = true;
        } else if (b == kHt) {
            tabHorizontal();
        }
    }

    // --- Epson ESC/P and IBM Proprinter ---

    static bool ligaSublinhado(unsigned char n) { return n == 1 || n == 2 || n == '1' || n == '2'; }

    void pitch(int avanco) {
        e_.passoBase = avanco;
        e_.hmi = 0;
    }

    void comandoEscP() {
        const ComandoEscP c = leComandoEscP(job_, pos_, ibm());
        pos_ += c.tamanho;
        if (c.truncado) return;
        const auto p = [&c](std::size_t i) { return static_cast<unsigned char>(c.parametros[i]); };
        const auto palavra = [&p](std::size_t i) { return p(i) + 256 * p(i + 1); };
        switch (c.letra) {
            case '@':
                reinicia();
                break;
            case 'E':
                e_.enfatizado = true;
                break;
            case 'F':
                e_.enfatizado = false;
                break;
            case 'G':
                e_.duploImpacto = true;
                break;
            case 'H':
                e_.duploImpacto = false;
                break;
            case '4':
                if (ibm()) {
                    posicaoVertical_ = 0;
                } else {
                    e_.italico = true;
                }
                break;
            case '5':
                if (!ibm()) e_.italico = false;
                break;
            case '-':
                e_.sublinhado = ligaSublinhado(p(0));
                break;
            case 'W':
                e_.larguraDupla = p(0) & 1;
                if (!e_.larguraDupla) e_.larguraDuplaLinha = false;
                break;
            case 'w':
                e_.alturaDupla = p(0) & 1;
                break;
            case kSo:
            case kSi:
                modoDeUmByte(c.letra);
                break;
            case 'S':
                e_.posicao = (p(0) & 1) ? PosicaoVertical::subscrito : PosicaoVertical::sobrescrito;
                break;
            case 'T':
                e_.posicao = PosicaoVertical::normal;
                break;
            case 'P':
                if (!ibm()) pitch(kPica);
                break;
            case 'M':
                pitch(kElite);
                break;
            case 'g':
                pitch(kMicron);
                break;
            case ':':
                if (ibm()) pitch(kElite);
                break;
            case '!':
                selecaoMestre(p(0));
                break;
            case 'X':
                if (ibm()) {
                    if (p(0) > 0) e_.margem = (p(0) - 1) * avancoSemDupla();
                } else {
                    if (p(0) >= 5) pitch(6 * p(0));
                    if (palavra(1) > 0) e_.pontos = palavra(1) / 2.0;
                }
                break;
            case 'c':
                if (palavra(0) > 0) e_.hmi = std::min(6 * palavra(0), kMaiorAvanco);
                break;
            case ' ':
                e_.espacoExtra = p(0) * kPor120;
                break;
            case '0':
                e_.entrelinha = kUnidadesPorPolegada / 8;
                break;
            case '1':
                e_.entrelinha = 7 * kPor72;
                break;
            case '2':
                e_.entrelinha =
                    ibm() && e_.entrelinhaGuardada > 0 ? e_.entrelinhaGuardada : kUmSextoPolegada;
                break;
            case '3':
                e_.entrelinha = p(0) * kPor216;
                break;
            case '+':
                e_.entrelinha = p(0) * kPor360;
                break;
            case 'A':
                if (ibm()) {
                    e_.entrelinhaGuardada = p(0) * kPor72;
                } else {
                    e_.entrelinha = p(0) * kPor72;
                }
                break;
            case 'J':
                fecha(p(0) * kPor216, false, false);
                break;
            case 'C':
                if (p(0) != 0) {
                    defineAlturaPagina(p(0) * e_.entrelinha, p(0));
                } else if (p(1) != 0) {
                    defineAlturaPagina(p(1) * kUnidadesPorPolegada, 0);
                }
                break;
            case 'N':
                e_.pulaPerfuracao = p(0) * e_.entrelinha;
                break;
            case 'O':
                e_.pulaPerfuracao = 0;
                break;
            case 'l':
                e_.margem = p(0) * avancoSemDupla();
                x_ = std::max(x_, e_.margem);
                break;
            case '$':
                moveX(std::int64_t{e_.margem} + palavra(0) * kPor60);
                break;
            case '\\':
                if (ibm()) {
                    imprimeLiteral(c.dados);
                } else {
                    const auto passo = static_cast<std::int16_t>(palavra(0));
                    moveX(std::max<std::int64_t>(e_.margem, std::int64_t{x_} + passo * kPor120));
                }
                break;
            case '^':
                if (ibm()) imprimeLiteral(c.parametros);
                break;
            case '%':
                if (ibm() && (p(0) == 'G' || p(0) == 'H')) e_.italico = p(0) == 'G';
                break;
            case 'D':
                defineTabs(c.dados);
                break;
            case 'B':
                e_.tabsVerticais.clear();
                for (unsigned char n : c.dados) e_.tabsVerticais.push_back(n * e_.entrelinha);
                break;
            case 'R':
                if (ibm()) {
                    e_.tabsPadrao = true;
                } else if (p(0) <= 13 || p(0) == 64) {
                    e_.conjunto = p(0);
                }
                break;
            case 't':
                selecionaTabela(p(0) >= '0' ? p(0) - '0' : p(0));
                break;
            case '(':
                comandoParenteses(p(0), c.dados);
                break;
            case '[':
                if (p(0) == 'T' && c.dados.size() >= 4) {
                    const auto d = [&c](std::size_t i) {
                        return static_cast<unsigned char>(c.dados[i]);
                    };
                    trocaCodigo(codigoIbm(d(2) * 256 + d(3)));
                }
                break;
            default:
                break;
        }
    }

    void selecaoMestre(unsigned char n) {
        pitch(n & 0x01 ? kElite : kPica);
        e_.condensado = n & 0x04;
        e_.enfatizado = n & 0x08;
        e_.duploImpacto = n & 0x10;
        e_.larguraDupla = n & 0x20;
        e_.italico = n & 0x40;
        e_.sublinhado = n & 0x80;
    }

    void defineTabs(std::string_view lista) {
        e_.tabsPadrao = false;
        e_.tabs.clear();
        for (unsigned char n : lista) e_.tabs.push_back(n * avancoSemDupla());
    }

    void defineAlturaPagina(int altura, int linhas) {
        e_.alturaPagina = altura;
        e_.linhasPagina = linhas > 0 ? linhas : (e_.entrelinha > 0 ? altura / e_.entrelinha : 0);
        e_.pulaPerfuracao = 0;
        posicaoVertical_ = 0;  // the current line becomes the top of the form
    }

    std::uint16_t indiceCodigo(const std::string& codigo) {
        const auto it = std::find(codigos_.begin(), codigos_.end(), codigo);
        if (it != codigos_.end()) return static_cast<std::uint16_t>(it - codigos_.begin());
        codigos_.push_back(codigo);
        return static_cast<std::uint16_t>(codigos_.size() - 1);
    }

    void trocaCodigo(const std::string& codigo) {
        if (!codigo.empty()) e_.codigo = indiceCodigo(codigo);
    }

    // The italic and user-defined tables are not imitated: their bytes stay in the job's own code
    // page, so that no text turns into other characters.
    void selecionaTabela(int tabela) {
        if (tabela < 0 || tabela > 3) return;
        e_.tabela = tabela;
        const std::string& atribuida = e_.tabelas[static_cast<std::size_t>(tabela)];
        if (!atribuida.empty()) {
            trocaCodigo(atribuida);
        } else {
            e_.codigo = tabela == 1 ? indiceCodigo(tabelaGrafica_) : 0;
        }
    }

    void comandoParenteses(unsigned char nome, std::string_view dados) {
        const auto d = [&dados](std::size_t i) { return static_cast<unsigned char>(dados[i]); };
        switch (nome) {
            case 't':
                if (dados.size() >= 3 && d(0) <= 3) {
                    e_.tabelas[d(0)] = codigoDaTabelaEpson(d(1), d(2));
                    if (e_.tabela == d(0)) selecionaTabela(d(0));
                }
                break;
            case '-':
                if (dados.size() >= 3 && d(1) == 1) e_.sublinhado = d(2) != 0;
                break;
            case '^':
                imprimeLiteral(dados);
                break;
            case 'U':
                if (dados.size() >= 1 && d(0) > 0) e_.unidadePagina = d(0);
                break;
            case 'C':
                if (dados.size() >= 2) {
                    std::int64_t valor = 0;
                    for (std::size_t i = std::min<std::size_t>(dados.size(), 4); i-- > 0;) {
                        valor = valor * 256 + d(i);
                    }
                    const double altura = static_cast<double>(valor) * e_.unidadePagina *
                                          kUnidadesPorPolegada / 3600.0;
                    if (valor > 0 && altura < 100.0 * kUnidadesPorPolegada) {
                        defineAlturaPagina(arredonda(altura), 0);
                    }
                }
                break;
            default:
                break;
        }
    }

    // --- HP PCL ---

    void comandoPcl() {
        const ComandoPcl c = leComandoPcl(job_, pos_);
        pos_ += c.tamanho;
        if (c.letra == 'E') {
            // A reset prints the page that holds something.
            reinicia();
            if (!montagem_.vazia() || paginaTemConteudo_) fecha(0, true, true);
            return;
        }
        if (c.letra == '9') e_.margem = 0;
        for (const CampoPcl& campo : c.campos) campoPcl(campo);
    }

    void posicionaPcl(const CampoPcl& campo, double unidade) {
        const int destino = arredonda(campo.valor * unidade);
        moveX(campo.comSinal ? std::int64_t{x_} + destino : destino);
    }

    void campoPcl(const CampoPcl& f) {
        const double v = f.valor;
        const auto chave = [&f](char parametro, char grupo, char letra) {
            return f.parametro == parametro && f.grupo == grupo && f.letra == letra;
        };
        if (chave('&', 'l', 'O')) {
            e_.paisagem = static_cast<int>(v) % 2 == 1;
        } else if (chave('&', 'l', 'D')) {
            if (v > 0 && v <= 48) e_.entrelinha = arredonda(kUnidadesPorPolegada / v);
        } else if (chave('&', 'l', 'C')) {
            if (v > 0 && v < 48 * 10) e_.entrelinha = arredonda(v * kUnidadesPorPolegada / 48);
        } else if (chave('&', 'l', 'P')) {
            if (v >= 1 && v < 1000) defineAlturaPagina(arredonda(v) * e_.entrelinha, arredonda(v));
        } else if (chave('(', 's', 'H')) {
            if (v >= 0.5 && v < 1000) pitch(std::max(1, arredonda(kUnidadesPorPolegada / v)));
        } else if (chave('(', 's', 'V')) {
            if (v > 0 && v < 1000) e_.pontos = v;
        } else if (chave('(', 's', 'B')) {
            e_.enfatizado = v > 0;
        } else if (chave('(', 's', 'S')) {
            const int postura = static_cast<int>(std::fabs(v)) % 4;
            e_.italico = postura == 1 || postura == 2;
        } else if (chave('&', 'k', 'S')) {
            const int modo = static_cast<int>(v);
            if (modo == 0) pitch(kPica);
            if (modo == 4) pitch(kElite);
            if (modo == 2) pitch(arredonda(kUnidadesPorPolegada / 16.67));
        } else if (chave('&', 'k', 'H')) {
            if (v > 0 && v < 1000) e_.hmi = arredonda(v * kPor120);
        } else if (chave('&', 'd', 'D')) {
            e_.sublinhado = true;
        } else if (chave('&', 'd', '@')) {
            e_.sublinhado = false;
        } else if (chave('&', 'a', 'L')) {
            if (v >= 0 && v < 1000) e_.margem = arredonda(v) * avancoSemDupla();
        } else if (chave('&', 'a', 'C')) {
            posicionaPcl(f, avancoSemDupla());
        } else if (chave('&', 'a', 'H')) {
            posicionaPcl(f, kUnidadesPorPolegada / 720.0);
        } else if (chave('*', 'p', 'X')) {
            posicionaPcl(f, kUnidadesPorPolegada / 300.0);
        } else if (chave('&', 'p', 'X')) {
            imprimeLiteral(f.dados);
        } else if (f.parametro == '(' && f.grupo == 0) {
            trocaCodigo(codigoDoConjuntoPcl(static_cast<int>(v), f.letra));
        }
    }

    std::string_view job_;
    LinguagemCodigos linguagem_;
    std::size_t pos_ = 0;
    bool utf8Job_ = false;
    std::string tabelaGrafica_;
    std::vector<std::string> codigos_;  // index 0: the job's own
    Estado e_;
    int x_ = 0;
    std::int64_t posicaoVertical_ = 0;  // from the top of the form, when the job set a page length
    bool paginaTemConteudo_ = false;
    bool paginaPendente_ = false;
    MontagemLinha montagem_;
    MontagemLinha::Marca marca_;
    bool marcaValida_ = false;
    Linha* saida_ = nullptr;
    bool pronta_ = false;
};

CodigosImpressora::CodigosImpressora(std::string_view job, LinguagemCodigos linguagem,
                                     std::string codigoJob)
    : interpretador_(std::make_unique<Interpretador>(job, linguagem, std::move(codigoJob))) {}

CodigosImpressora::~CodigosImpressora() = default;

bool CodigosImpressora::proxima(Linha& linha) { return interpretador_->proxima(linha); }

double maiorLarguraColunas(std::string_view job, LinguagemCodigos linguagem,
                           const std::string& codigoJob) {
    CodigosImpressora codigos(job, linguagem, codigoJob);
    Linha linha;
    double maior = 0;
    while (codigos.proxima(linha)) maior = std::max(maior, linha.larguraColunas);
    return maior;
}

}  // namespace velmora
