// The PDF writer's files read back with poppler and qpdf, as a viewer or a print server would.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "impressao/apoio/Poppler.h"
#include "platform/apoio/MotivoDaFalha.h"
#include "platform/apoio/PastaTemporaria.h"
#include "platform/pdf/EscritorPdf.h"
#include "spooler/ErroPlataforma.h"

using namespace velmora;
using namespace velmora::teste;

namespace {

const std::string kUrw = "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-";
const FacesFonte kNimbus{kUrw + "Regular.otf", kUrw + "Bold.otf", kUrw + "Italic.otf",
                         kUrw + "BoldItalic.otf"};
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono";
const FacesFonte kDejaVuMono{kDejaVu + ".ttf", kDejaVu + "-Bold.ttf", kDejaVu + "-Oblique.ttf",
                             kDejaVu + "-BoldOblique.ttf"};

constexpr double kA4[] = {595.28, 841.89};
constexpr double kMargem = 18;
constexpr double kColuna = 0.6 * 11;  // Courier at 11 points

// A document of one A4 page written by `desenha`, checked by qpdf before anything reads it.
std::string documento(const PastaTemporaria& pasta,
                      const std::function<void(EscritorPdf&)>& desenha,
                      const FacesFonte& faces = kNimbus) {
    const std::string caminho = pasta / "documento.pdf";
    EscritorPdf pdf(caminho, "teste", faces);
    pdf.novaPagina(kA4[0], kA4[1]);
    desenha(pdf);
    pdf.termina();
    executa("qpdf --check " + aspas(caminho));
    return caminho;
}

struct FontePdf {
    std::string nome, tipo, codificacao;
    bool embutida = false, subconjunto = false, unicode = false;
};

// pdffonts' table; its columns are as wide as the rule under the header.
std::vector<FontePdf> fontesDe(const std::string& pdf) {
    std::istringstream linhas(executa("pdffonts " + aspas(pdf)));
    std::string cabecalho, regua, linha;
    std::getline(linhas, cabecalho);
    std::getline(linhas, regua);
    std::vector<std::pair<std::size_t, std::size_t>> colunas;
    for (std::size_t i = 0; i < regua.size();) {
        const std::size_t fim = std::min(regua.find(' ', i), regua.size());
        colunas.emplace_back(i, fim - i);
        i = fim + 1;
    }
    std::vector<FontePdf> fontes;
    while (std::getline(linhas, linha)) {
        const auto campo = [&](std::size_t n) {
            std::string s = linha.substr(colunas.at(n).first, colunas.at(n).second);
            return s.erase(s.find_last_not_of(' ') + 1);
        };
        std::string nome = campo(0);
        if (nome.size() > 7 && nome[6] == '+') nome.erase(0, 7);
        fontes.push_back(
            {nome, campo(1), campo(2), campo(3) == "yes", campo(4) == "yes", campo(5) == "yes"});
    }
    return fontes;
}

}  // namespace

TEST(EscritorPdf, PaginasTemOTamanhoPedidoEODocumentoOTitulo) {
    PastaTemporaria pasta;
    const std::string caminho = pasta / "paginas.pdf";
    EscritorPdf pdf(caminho, "Relatório de vendas ção €", kNimbus);
    pdf.novaPagina(kA4[0], kA4[1]);
    pdf.escreve({U"RETRATO", kMargem, 30});
    pdf.novaPagina(792, 612);  // Letter, landscape
    pdf.escreve({U"PAISAGEM", kMargem, 30});
    pdf.novaPagina(792, 612);  // a page left blank
    pdf.termina();

    executa("qpdf --check " + aspas(caminho));
    EXPECT_EQ(campoPdf(caminho, "Pages"), "3");
    EXPECT_EQ(campoPdf(caminho, "Title"), "Relatório de vendas ção €");
    const std::string tamanhos = executa("pdfinfo -f 1 -l 3 " + aspas(caminho));
    EXPECT_NE(tamanhos.find("Page    1 size:  595.28 x 841.89 pts (A4)"), std::string::npos)
        << tamanhos;
    EXPECT_NE(tamanhos.find("Page    2 size:  792 x 612 pts (letter)"), std::string::npos);
    EXPECT_NE(tamanhos.find("Page    3 size:  792 x 612 pts (letter)"), std::string::npos);
    const auto paginas = paginasPdf(caminho);
    ASSERT_EQ(paginas.size(), 3u);
    EXPECT_EQ(linhasCheias(paginas[0]), std::vector<std::string>{"RETRATO"});
    EXPECT_EQ(linhasCheias(paginas[1]), std::vector<std::string>{"PAISAGEM"});
    EXPECT_TRUE(linhasCheias(paginas[2]).empty());

    // Nothing printed still makes a valid document of one page.
    const std::string vazio = pasta / "vazio.pdf";
    EscritorPdf(vazio, "", kNimbus).termina();
    executa("qpdf --check " + aspas(vazio));
    EXPECT_EQ(campoPdf(vazio, "Pages"), "1");
}

TEST(EscritorPdf, SoAsFacesUsadasSaoEmbutidasComCodigosIdentityEMapaUnicode) {
    PastaTemporaria pasta;
    const auto caminho = documento(pasta, [](EscritorPdf& pdf) {
        pdf.escreve({U"Ação café 100€", kMargem, 30});
        pdf.escreve({U"TOTAL", kMargem, 45, Face::negrito});
    });
    const auto fontes = fontesDe(caminho);
    ASSERT_EQ(fontes.size(), 2u);  // no italic: it was never used
    EXPECT_EQ(fontes[0].nome, "NimbusMonoPS-Regular");
    EXPECT_EQ(fontes[1].nome, "NimbusMonoPS-Bold");
    for (const FontePdf& f : fontes) {
        EXPECT_EQ(f.codificacao, "Identity-H") << f.nome;
        EXPECT_TRUE(f.embutida) << f.nome;
        EXPECT_TRUE(f.unicode) << f.nome;
#if VELMORA_HB_SUBSET
        EXPECT_TRUE(f.subconjunto) << f.nome;
#endif
    }
#if VELMORA_HB_SUBSET
    // Two faces cut down to a dozen glyphs weigh less than one whole face.
    EXPECT_LT(std::filesystem::file_size(caminho), std::filesystem::file_size(kNimbus.normal) / 2);
#endif
    EXPECT_EQ(linhasCheias(paginasPdf(caminho)[0]),
              (std::vector<std::string>{"Ação café 100€", "TOTAL"}));

    // Every printable character of Latin-1 reads back as itself, whatever bytes its glyph
    // number is made of (some are the string's own delimiters).
    std::u32string ascii, latin1;
    for (char32_t c = 0x21; c < 0x7F; ++c) ascii += c;
    for (char32_t c = 0xA1; c <= 0xFF; ++c) {
        if (c != 0xAD) latin1 += c;  // the soft hyphen is no ink
    }
    const auto todos = documento(pasta, [&](EscritorPdf& pdf) {
        pdf.escreve({ascii, kMargem, 30, Face::normal, 8});
        pdf.escreve({latin1, kMargem, 45, Face::negritoItalico, 8});
    });
    const auto utf8 = [](std::u32string_view texto) {
        std::string s;
        for (const char32_t c : texto) {
            if (c < 0x80) {
                s += static_cast<char>(c);
            } else {
                s += static_cast<char>(0xC0 | (c >> 6));
                s += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return s;
    };
    EXPECT_EQ(linhasCheias(paginasPdf(todos)[0]),
              (std::vector<std::string>{utf8(ascii), utf8(latin1)}));

    // A TrueType face goes in as such, and reads back the same.
    const auto dejavu = documento(
        pasta,
        [](EscritorPdf& pdf) {
            pdf.escreve({U"Ação", kMargem, 30, Face::italico});
        },
        kDejaVuMono);
    const auto tt = fontesDe(dejavu);
    ASSERT_EQ(tt.size(), 1u);
    EXPECT_EQ(tt[0].nome, "DejaVuSansMono-Oblique");
    EXPECT_EQ(tt[0].tipo, "CID TrueType");
    EXPECT_TRUE(tt[0].embutida);
    EXPECT_EQ(linhasCheias(paginasPdf(dejavu)[0]), std::vector<std::string>{"Ação"});
}

TEST(EscritorPdf, TrechosFicamOndeOChamadorPoeComTamanhoEPasso) {
    PastaTemporaria pasta;
    const double y = 100;
    const auto caminho = documento(pasta, [&](EscritorPdf& pdf) {
        pdf.escreve({U"COLUNA0", kMargem, y});
        pdf.escreve({U"COLUNA40", kMargem + 40 * kColuna, y});
        pdf.escreve({U"NORMAL", kMargem, 2 * y});
        pdf.escreve({U"ESTREITO", kMargem, 3 * y, Face::normal, 11, 10 / 17.14});
        pdf.escreve({U"LARGO", kMargem, 4 * y, Face::normal, 11, 2});
        pdf.escreve({U"GRANDE", kMargem, 5 * y, Face::normal, 22});
        pdf.escreve({U"   RECUADO  ", kMargem, 6 * y});
    });
    const auto palavras = palavrasPdf(caminho);
    const auto p = [&](const char* texto) { return palavra(palavras, texto); };
    const auto largura = [&](const char* texto) { return p(texto).xMax - p(texto).xMin; };

    EXPECT_NEAR(p("COLUNA0").xMin, kMargem, 0.05);
    EXPECT_NEAR(p("COLUNA40").xMin, kMargem + 40 * kColuna, 0.05);
    EXPECT_NEAR(largura("NORMAL") / 6, kColuna, 0.05);
    EXPECT_NEAR(largura("ESTREITO") / 8, kColuna * 10 / 17.14, 0.05);
    EXPECT_NEAR(largura("LARGO") / 5, 2 * kColuna, 0.05);
    EXPECT_NEAR(largura("GRANDE") / 6, 2 * kColuna, 0.05);
    EXPECT_NEAR((p("GRANDE").yMax - p("GRANDE").yMin) / (p("NORMAL").yMax - p("NORMAL").yMin), 2,
                0.01);
    // The base line sits `y` below the top edge: the glyph box straddles it.
    EXPECT_LT(p("NORMAL").yMin, 2 * y);
    EXPECT_GT(p("NORMAL").yMax, 2 * y);
    // Leading blanks move the ink, they do not vanish.
    EXPECT_NEAR(p("RECUADO").xMin, kMargem + 3 * kColuna, 0.05);

    EscritorPdf medida(pasta / "medida.pdf", "", kNimbus);
    EXPECT_NEAR(medida.largura({U"LARGO", 0, 0, Face::normal, 11, 2}), largura("LARGO"), 0.05);
}

TEST(EscritorPdf, SublinhadoEUmTracoSobOTrechoInteiro) {
    PastaTemporaria pasta;
    const auto caminho = documento(pasta, [](EscritorPdf& pdf) {
        pdf.escreve({U"SUBLINHADO", 100, 100, Face::normal, 11, 1, true});
        pdf.escreve({U"SEM TRACO", 100, 200});
    });
    // One pixel a point, grey levels: a rule is a row of dark pixels below the base line.
    const std::string pgm = executa("pdftoppm -gray -r 72 " + aspas(caminho));
    std::istringstream cabecalho(pgm);
    std::string magica;
    int largura = 0, altura = 0, maximo = 0;
    cabecalho >> magica >> largura >> altura >> maximo;
    ASSERT_EQ(magica, "P5");
    const std::size_t inicio = pgm.size() - static_cast<std::size_t>(largura) * altura;
    const auto escuros = [&](int linha, int de, int ate) {
        int n = 0;
        for (int x = de; x < ate; ++x)
            n += static_cast<unsigned char>(pgm[inicio + linha * largura + x]) < 128;
        return n;
    };
    const auto maisEscura = [&](int base, int de, int ate) {
        int melhor = 0;
        for (int linha = base + 1; linha <= base + 4; ++linha)
            melhor = std::max(melhor, escuros(linha, de, ate));
        return melhor;
    };
    const int corrida = static_cast<int>(10 * kColuna);
    EXPECT_GE(maisEscura(100, 100, 100 + corrida), corrida - 2);  // under all ten characters
    EXPECT_LE(maisEscura(100, 100 + corrida + 2, 100 + corrida + 40), 0);  // and no further
    EXPECT_LT(maisEscura(200, 100, 100 + corrida), corrida / 2);           // no rule when not asked
}

TEST(EscritorPdf, CaractereSemGlifoEAvisadoENaoDesenhado) {
    PastaTemporaria pasta;
    std::string motivo;
    const auto caminho = documento(pasta, [&](EscritorPdf& pdf) {
        EXPECT_TRUE(pdf.temGlifo(Face::normal, U'ç'));
        EXPECT_TRUE(pdf.temGlifo(Face::negrito, U'€'));
        EXPECT_FALSE(pdf.temGlifo(Face::normal, U'中'));
        EXPECT_FALSE(pdf.temGlifo(Face::normal, U'\U0001F600'));
        EXPECT_FALSE(pdf.temGlifo(Face::normal, U'\t'));
        motivo = motivoDe([&] { pdf.escreve({U"ANTES 中 DEPOIS", kMargem, 30}); });
        pdf.escreve({U"SEGUE", kMargem, 45});
    });
    EXPECT_NE(motivo.find("U+4E2D"), std::string::npos) << motivo;
    EXPECT_NE(motivo.find("NimbusMonoPS-Regular.otf"), std::string::npos) << motivo;
    EXPECT_EQ(linhasCheias(paginasPdf(caminho)[0]), std::vector<std::string>{"SEGUE"});
}

TEST(EscritorPdf, FalhasDeArquivoEDeFonteTrazemOMotivo) {
    PastaTemporaria pasta;
    const std::string semPasta = pasta / "nao-existe/documento.pdf";
    std::string motivo = motivoDe([&] { EscritorPdf(semPasta, "", kNimbus); });
    EXPECT_NE(motivo.find(semPasta), std::string::npos) << motivo;
    EXPECT_NE(motivo.find(std::strerror(ENOENT)), std::string::npos) << motivo;

    // A full disk: the pages cannot all be written, and termina() says so.
    motivo = motivoDe([&] {
        EscritorPdf pdf("/dev/full", "", kNimbus);
        for (int i = 0; i < 50; ++i) {
            pdf.novaPagina(kA4[0], kA4[1]);
            pdf.escreve({U"LINHA", kMargem, 30});
        }
        pdf.termina();
    });
    EXPECT_NE(motivo.find("/dev/full"), std::string::npos) << motivo;
    EXPECT_NE(motivo.find(std::strerror(ENOSPC)), std::string::npos) << motivo;

    FacesFonte semFonte = kNimbus;
    semFonte.negrito = pasta / "falta.otf";
    gravaArquivo(pasta / "texto.otf", "isto não é uma fonte");
    FacesFonte falsa = kNimbus;
    falsa.italico = pasta / "texto.otf";
    EscritorPdf pdf(pasta / "fontes.pdf", "", semFonte);
    pdf.novaPagina(kA4[0], kA4[1]);
    motivo = motivoDe([&] { pdf.escreve({U"X", kMargem, 30, Face::negrito}); });
    EXPECT_NE(motivo.find(semFonte.negrito), std::string::npos) << motivo;
    EscritorPdf outro(pasta / "falsa.pdf", "", falsa);
    motivo = motivoDe([&] { outro.temGlifo(Face::italico, U'X'); });
    EXPECT_NE(motivo.find(falsa.italico), std::string::npos) << motivo;

    // A font cut short anywhere is refused with its name, or read as far as it holds: never a
    // read past its end (the sanitizer build watches).
    const std::string inteira = leArquivo(kNimbus.normal);
    FacesFonte cortada = kNimbus;
    cortada.normal = pasta / "cortada.otf";
    for (std::size_t tamanho = 0; tamanho < inteira.size(); tamanho += 1499) {
        gravaArquivo(cortada.normal, std::string_view(inteira).substr(0, tamanho));
        EscritorPdf pdf(pasta / "cortada.pdf", "", cortada);
        motivo = motivoDe([&] { pdf.temGlifo(Face::normal, U'X'); });
        if (tamanho < 2000) {
            EXPECT_NE(motivo.find(cortada.normal), std::string::npos) << tamanho;
        }
    }
}
