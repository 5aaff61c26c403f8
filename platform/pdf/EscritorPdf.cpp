#include "EscritorPdf.h"

#include <cstdio>
#include <stdexcept>

#include "Compressao.h"
#include "FonteEmbutida.h"
#include "FonteOpenType.h"
#include "SintaxePdf.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

using pdf::numero;
using pdf::referencia;

namespace {

constexpr double kA4Largura = 595.28, kA4Altura = 841.89;

std::string codigo(char32_t c) {
    char texto[16];
    std::snprintf(texto, sizeof texto, "U+%04X", static_cast<unsigned>(c));
    return texto;
}

}  // namespace

struct EscritorPdf::FaceUsada {
    explicit FaceUsada(const std::string& caminho) : fonte(caminho) {
        unicodes.assign(fonte.quantidadeGlifos(), 0);
    }
    pdf::FonteOpenType fonte;
    int objeto = 0;
    std::vector<char32_t> unicodes;  // by glyph, the first character drawn with it; 0 unused
};

EscritorPdf::EscritorPdf(const std::string& caminho, std::string_view titulo, FacesFonte faces)
    : arquivo_(caminho), caminhos_(std::move(faces)) {
    catalogo_ = arquivo_.reserva();
    arvore_ = arquivo_.reserva();
    info_ = arquivo_.reserva();
    recursos_ = arquivo_.reserva();
    std::string s = "<</Title";
    pdf::textoPdf(s, titulo);
    s += "/Creator(Velmora)/Producer(Velmora)>>";
    arquivo_.objeto(info_, s);
}

EscritorPdf::~EscritorPdf() = default;

EscritorPdf::FaceUsada& EscritorPdf::face(Face face) {
    const auto i = static_cast<std::size_t>(face);
    if (!faces_[i]) {
        const std::string* caminhos[] = {&caminhos_.normal, &caminhos_.negrito, &caminhos_.italico,
                                         &caminhos_.negritoItalico};
        faces_[i] = std::make_unique<FaceUsada>(*caminhos[i]);
    }
    return *faces_[i];
}

bool EscritorPdf::temGlifo(Face f, char32_t c) { return face(f).fonte.glifo(c) != 0; }

MedidasFace EscritorPdf::medidas(Face f) {
    const pdf::FonteOpenType& fonte = face(f).fonte;
    return {fonte.ascendente / 1000.0, fonte.descendente / 1000.0};
}

double EscritorPdf::largura(const TrechoPdf& t) {
    const pdf::FonteOpenType& fonte = face(t.face).fonte;
    long long milesimos = 0;
    for (const char32_t c : t.texto) milesimos += fonte.avanco(fonte.glifo(c));
    return milesimos * t.tamanho * t.escala / 1000.0;
}

void EscritorPdf::novaPagina(double largura, double altura) {
    terminaPagina();
    paginaAberta_ = true;
    largura_ = largura;
    altura_ = altura;
    fonteAtual_ = -1;
    tamanhoAtual_ = 0;
    escalaAtual_ = 1;
}

void EscritorPdf::escreve(const TrechoPdf& t) {
    if (!paginaAberta_) throw std::logic_error("EscritorPdf::escreve antes de novaPagina");
    const int indice = static_cast<int>(t.face);
    FaceUsada& usada = face(t.face);
    const pdf::FonteOpenType& fonte = usada.fonte;
    for (const char32_t c : t.texto) {
        if (c != U' ' && fonte.glifo(c) == 0) {
            throw ErroPlataforma("o caractere " + codigo(c) + " não tem glifo na fonte " +
                                 fonte.caminho());
        }
    }
    const double base = altura_ - t.y;
    const double passo = t.tamanho * t.escala / 1000.0;

    std::size_t inicio = 0, fim = t.texto.size();
    while (inicio < fim && t.texto[inicio] == U' ') ++inicio;
    while (fim > inicio && t.texto[fim - 1] == U' ') --fim;

    long long recuo = 0, tinta = 0;  // thousandths of an em before and along the ink
    for (std::size_t i = 0; i < inicio; ++i) recuo += fonte.avanco(fonte.glifo(U' '));
    if (inicio < fim) {
        conteudo_ += "BT ";
        if (indice != fonteAtual_ || t.tamanho != tamanhoAtual_) {
            conteudo_ += "/F";
            numero(conteudo_, indice);
            conteudo_ += ' ';
            numero(conteudo_, t.tamanho);
            conteudo_ += " Tf ";
        }
        if (t.escala != escalaAtual_) {
            numero(conteudo_, t.escala * 100);
            conteudo_ += " Tz ";
        }
        numero(conteudo_, t.x + recuo * passo);
        conteudo_ += ' ';
        numero(conteudo_, base);
        conteudo_ += " Td(";
        for (std::size_t i = inicio; i < fim; ++i) {
            const char32_t c = t.texto[i];
            const std::uint16_t g = fonte.glifo(c);
            if (!usada.unicodes[g]) usada.unicodes[g] = c;
            tinta += fonte.avanco(g);
            for (const char byte : {static_cast<char>(g >> 8), static_cast<char>(g & 0xFF)}) {
                switch (byte) {
                    case '(':
                    case ')':
                    case '\\':
                        conteudo_ += '\\';
                        conteudo_ += byte;
                        break;
                    // A bare end of line inside a string reads back as a line feed.
                    case '\r':
                        conteudo_ += "\\r";
                        break;
                    default:
                        conteudo_ += byte;
                }
            }
        }
        conteudo_ += ")Tj ET\n";
        fonteAtual_ = indice;
        tamanhoAtual_ = t.tamanho;
        escalaAtual_ = t.escala;
        if (!usada.objeto) usada.objeto = arquivo_.reserva();
    }
    if (t.sublinhado) {
        long long total = recuo + tinta;
        for (std::size_t i = fim; i < t.texto.size(); ++i) total += fonte.avanco(fonte.glifo(U' '));
        const double espessura = fonte.espessuraSublinhado * t.tamanho / 1000.0;
        numero(conteudo_, t.x);
        conteudo_ += ' ';
        numero(conteudo_, base + fonte.posicaoSublinhado * t.tamanho / 1000.0 - espessura);
        conteudo_ += ' ';
        numero(conteudo_, total * passo);
        conteudo_ += ' ';
        numero(conteudo_, espessura);
        conteudo_ += " re f\n";
    }
}

void EscritorPdf::terminaPagina() {
    if (!paginaAberta_) return;
    paginaAberta_ = false;
    const int conteudo = arquivo_.reserva(), pagina = arquivo_.reserva();
    pdf::comprime(conteudo_, comprimido_);
    conteudo_.clear();
    arquivo_.fluxo(conteudo, "", comprimido_);
    std::string s = "<</Type/Page/Parent ";
    referencia(s, arvore_);
    s += "/MediaBox[0 0 ";
    numero(s, largura_);
    s += ' ';
    numero(s, altura_);
    s += "]/Resources ";
    referencia(s, recursos_);
    s += "/Contents ";
    referencia(s, conteudo);
    s += ">>";
    arquivo_.objeto(pagina, s);
    paginas_.push_back(pagina);
}

void EscritorPdf::termina() {
    if (paginas_.empty() && !paginaAberta_) novaPagina(kA4Largura, kA4Altura);
    terminaPagina();

    std::string s = "<</Font<<";
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        if (!faces_[i] || !faces_[i]->objeto) continue;
        s += "/F";
        numero(s, i);
        s += ' ';
        referencia(s, faces_[i]->objeto);
        pdf::embuteFonte(arquivo_, faces_[i]->objeto, faces_[i]->fonte, faces_[i]->unicodes);
    }
    s += ">>>>";
    arquivo_.objeto(recursos_, s);

    s = "<</Type/Pages/Count ";
    numero(s, paginas_.size());
    s += "/Kids[";
    for (std::size_t i = 0; i < paginas_.size(); ++i) {
        s += i % 8 ? " " : "\n";
        referencia(s, paginas_[i]);
    }
    s += "]>>";
    arquivo_.objeto(arvore_, s);

    s = "<</Type/Catalog/Pages ";
    referencia(s, arvore_);
    s += ">>";
    arquivo_.objeto(catalogo_, s);
    arquivo_.termina(catalogo_, info_);
}

}  // namespace velmora
