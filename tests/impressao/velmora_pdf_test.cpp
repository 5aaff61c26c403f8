// The printing layer through its built-in printer "Velmora PDF", read back with poppler.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "impressao/apoio/Poppler.h"
#include "platform/qt/ImpressoraQt.h"
#include "spooler/ErroPlataforma.h"

namespace fs = std::filesystem;
using namespace velmora;
using namespace velmora::teste;

namespace {

// In a job script: a page break instead of a line.
const std::u32string kQuebra = U"\uE000quebra";

// Courier: every character advances 0.6 of the font size.
double largura(double pontos, int caracteres) { return 0.6 * pontos * caracteres; }

std::vector<std::string> arquivosEm(const fs::path& pasta) {
    std::vector<std::string> nomes;
    if (!fs::exists(pasta)) return nomes;
    for (const auto& entrada : fs::directory_iterator(pasta)) {
        nomes.push_back(entrada.path().filename().string());
    }
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

class VelmoraPdf : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(raiz_.isValid());
        temporarios_ = fs::path(raiz_.path().toStdString()) / "tmp";
        fs::create_directories(temporarios_);
        setenv("TMPDIR", temporarios_.c_str(), 1);
        // No system printer is ever touched from here.
        setenv("CUPS_SERVER", "/nonexistent/velmora-teste.sock", 1);
        // "Velmora PDF" takes the locale's paper: A4 here, whatever the machine's locale.
        unsetenv("LC_ALL");
        setenv("LC_PAPER", "C", 1);
        pasta_ = fs::path(raiz_.path().toStdString()) / "saida" / "Velmora";
        impressora_ = std::make_unique<ImpressoraQt>(pasta_.string());
        impressora_->tornaAtual("Velmora PDF");
    }

    void TearDown() override {
        impressora_.reset();
        EXPECT_EQ(arquivosEm(temporarios_), std::vector<std::string>{})
            << "documentos temporários deixados para trás";
        unsetenv("TMPDIR");
    }

    // Prints one document; gives the path it should land at for `nomePdf`.
    std::string imprime(const std::string& titulo, std::initializer_list<std::u32string> linhas,
                        const std::string& nomePdf = "") {
        impressora_->defineTitulo(titulo);
        for (const std::u32string& linha : linhas) {
            if (linha == kQuebra)
                impressora_->novaPagina();
            else
                impressora_->imprimeLinha(linha);
        }
        impressora_->terminaDocumento();
        return (pasta_ / nomePdf).string();
    }

    std::vector<std::vector<std::string>> linhasPorPagina(const std::string& pdf) {
        std::vector<std::vector<std::string>> paginas;
        for (const std::string& pagina : paginasPdf(pdf)) paginas.push_back(linhasCheias(pagina));
        return paginas;
    }

    QTemporaryDir raiz_;
    fs::path temporarios_;
    fs::path pasta_;
    std::unique_ptr<ImpressoraQt> impressora_;
};

using Paginas = std::vector<std::vector<std::string>>;

TEST_F(VelmoraPdf, GravaAsLinhasEmOrdemNaPastaComONomeEOTituloDoJob) {
    const std::string pdf =
        imprime("REL01.TXT",
                {U"PRIMEIRA LINHA", U"", U"SEGUNDA LINHA", U"Fatura nº 12: ação, preço € 9,90"},
                "REL01.pdf");

    EXPECT_EQ(arquivosEm(pasta_), std::vector<std::string>{"REL01.pdf"});
    EXPECT_EQ(linhasPorPagina(pdf),
              (Paginas{{"PRIMEIRA LINHA", "SEGUNDA LINHA", "Fatura nº 12: ação, preço € 9,90"}}));
    EXPECT_EQ(campoPdf(pdf, "Title"), "REL01.TXT");
    EXPECT_NE(campoPdf(pdf, "Page size").find("(A4)"), std::string::npos);

    // The empty line still takes its place: the third line stands three lines below the first.
    const auto palavras = palavrasPdf(pdf);
    const double passo = palavra(palavras, "SEGUNDA").yMin - palavra(palavras, "PRIMEIRA").yMin;
    const double passoSeguinte =
        palavra(palavras, "Fatura").yMin - palavra(palavras, "SEGUNDA").yMin;
    EXPECT_NEAR(passo, 2 * passoSeguinte, 0.5);
}

TEST_F(VelmoraPdf, NomeOcupadoGanhaSufixoENadaESobrescrito) {
    fs::create_directories(pasta_);
    fs::create_symlink("/nonexistent/alvo.pdf", pasta_ / "LINK.pdf");

    imprime("REL.TXT", {U"UM"});
    imprime("REL.TXT", {U"DOIS"});
    imprime("REL.TXT", {U"TRES"});
    imprime("A.B.TXT", {U"PONTOS"});
    imprime("SEMEXTENSAO", {U"SEM"});
    imprime("LINK.TXT", {U"LIGACAO"});

    EXPECT_EQ(arquivosEm(pasta_),
              (std::vector<std::string>{"A.B.pdf", "LINK-1.pdf", "LINK.pdf", "REL-1.pdf",
                                        "REL-2.pdf", "REL.pdf", "SEMEXTENSAO.pdf"}));
    EXPECT_EQ(linhasPorPagina((pasta_ / "REL.pdf").string()), Paginas{{"UM"}});
    EXPECT_EQ(linhasPorPagina((pasta_ / "REL-1.pdf").string()), Paginas{{"DOIS"}});
    EXPECT_EQ(linhasPorPagina((pasta_ / "REL-2.pdf").string()), Paginas{{"TRES"}});
    EXPECT_EQ(linhasPorPagina((pasta_ / "LINK-1.pdf").string()), Paginas{{"LIGACAO"}});
    EXPECT_TRUE(fs::is_symlink(pasta_ / "LINK.pdf"));
    EXPECT_FALSE(fs::exists("/nonexistent/alvo.pdf"));
}

TEST_F(VelmoraPdf, PastaQueNaoPodeSerCriadaFazOTerminoFalharComOMotivo) {
    fs::create_directories(pasta_.parent_path());
    std::ofstream(pasta_) << "um arquivo no lugar da pasta";

    impressora_->defineTitulo("REL.TXT");
    impressora_->imprimeLinha(U"TEXTO");
    try {
        impressora_->terminaDocumento();
        FAIL() << "terminaDocumento não falhou";
    } catch (const ErroPlataforma& erro) {
        EXPECT_NE(std::string(erro.what()).find(pasta_.string()), std::string::npos) << erro.what();
    }

    // The failed document is gone; the next one starts clean once the folder can be made.
    fs::remove(pasta_);
    const std::string pdf = imprime("DEPOIS.TXT", {U"DEPOIS"}, "DEPOIS.pdf");
    EXPECT_EQ(linhasPorPagina(pdf), Paginas{{"DEPOIS"}});
}

TEST_F(VelmoraPdf, DocumentoSemLinhasNaoGravaNada) {
    imprime("VAZIO.TXT", {});
    imprime("SO_QUEBRAS.TXT", {kQuebra, kQuebra});
    EXPECT_FALSE(fs::exists(pasta_));
}

TEST_F(VelmoraPdf, QuebraDePaginaSoComecaPaginaQuandoAlgoEImpresso) {
    EXPECT_EQ(linhasPorPagina(imprime("Q1.TXT", {U"A", kQuebra, U"B"}, "Q1.pdf")),
              (Paginas{{"A"}, {"B"}}));
    // A break after the last line adds no page.
    EXPECT_EQ(linhasPorPagina(imprime("Q2.TXT", {U"A", kQuebra}, "Q2.pdf")), (Paginas{{"A"}}));
    // Two breaks in a row leave one blank page between.
    EXPECT_EQ(linhasPorPagina(imprime("Q3.TXT", {U"A", kQuebra, kQuebra, U"B"}, "Q3.pdf")),
              (Paginas{{"A"}, {}, {"B"}}));
    // Before the first line there is no page to end.
    EXPECT_EQ(linhasPorPagina(imprime("Q4.TXT", {kQuebra, U"A"}, "Q4.pdf")), (Paginas{{"A"}}));
    // An empty line is printed output: the page after it is started.
    EXPECT_EQ(linhasPorPagina(imprime("Q5.TXT", {U"", kQuebra, U"B"}, "Q5.pdf")),
              (Paginas{{}, {"B"}}));
}

TEST_F(VelmoraPdf, PaginaCheiaContinuaNaSeguinteSemPerderLinhas) {
    impressora_->defineTitulo("LONGO.TXT");
    std::vector<std::string> esperadas;
    for (int i = 1; i <= 150; ++i) {
        const std::string linha = "LINHA " + std::to_string(i);
        esperadas.push_back(linha);
        impressora_->imprimeLinha(std::u32string(linha.begin(), linha.end()));
    }
    impressora_->terminaDocumento();

    const std::string pdf = (pasta_ / "LONGO.pdf").string();
    const Paginas paginas = linhasPorPagina(pdf);
    ASSERT_EQ(paginas.size(), 3u);
    std::vector<std::string> todas;
    for (const auto& pagina : paginas) todas.insert(todas.end(), pagina.begin(), pagina.end());
    EXPECT_EQ(todas, esperadas);

    // Courier's line height at 11 points: an A4 page holds 64 lines, as reports expect.
    EXPECT_EQ(paginas[0].size(), 64u);
    const auto palavras = palavrasPdf(pdf);
    EXPECT_NEAR(palavra(palavras, "2").yMin - palavra(palavras, "1").yMin, 1.133 * 11, 0.05);
    for (const Palavra& p : palavras) EXPECT_LT(p.yMax, 841.89 - 15) << p.texto;
}

TEST_F(VelmoraPdf, TextoSaiEmCourierNoTamanhoEEstiloPedidosLinhaALinha) {
    impressora_->defineTitulo("FONTES.TXT");
    impressora_->defineTamanho(11);
    impressora_->imprimeLinha(U"ONZEONZEON");
    impressora_->defineTamanho(7);
    impressora_->imprimeLinha(U"SETESETESE");
    impressora_->defineNegrito(true);
    impressora_->imprimeLinha(U"NEGRITO");
    impressora_->defineNegrito(false);
    impressora_->defineItalico(true);
    impressora_->imprimeLinha(U"ITALICO");
    impressora_->terminaDocumento();

    const std::string pdf = (pasta_ / "FONTES.pdf").string();
    const auto fontes = fontesPdf(pdf);
    for (const char* nome : {"NimbusMonoPS-Regular", "NimbusMonoPS-Bold", "NimbusMonoPS-Italic"}) {
        EXPECT_NE(std::find(fontes.begin(), fontes.end(), nome), fontes.end()) << nome;
    }
    const auto palavras = palavrasPdf(pdf);
    const Palavra onze = palavra(palavras, "ONZEONZEON");
    const Palavra sete = palavra(palavras, "SETESETESE");
    EXPECT_NEAR(onze.xMax - onze.xMin, largura(11, 10), 0.5);
    EXPECT_NEAR(sete.xMax - sete.xMin, largura(7, 10), 0.5);

    // The font outlasts the document: the next job is still at 7 points, italic.
    imprime("SEGUINTE.TXT", {U"SEGUINTE12"});
    const Palavra seguinte = palavra(palavrasPdf((pasta_ / "SEGUINTE.pdf").string()), "SEGUINTE12");
    EXPECT_NEAR(seguinte.xMax - seguinte.xMin, largura(7, 10), 0.5);
    EXPECT_EQ(fontesPdf((pasta_ / "SEGUINTE.pdf").string()),
              std::vector<std::string>{"NimbusMonoPS-Italic"});
}

TEST_F(VelmoraPdf, TamanhoDeFonteInvalidoERecusado) {
    EXPECT_THROW(impressora_->defineTamanho(0), ErroPlataforma);
    EXPECT_THROW(impressora_->defineTamanho(-7), ErroPlataforma);
    EXPECT_THROW(impressora_->defineTamanho(std::nanf("")), ErroPlataforma);
}

TEST_F(VelmoraPdf, TabulacaoAvancaAteAProximaColunaMultiplaDeOito) {
    impressora_->defineTamanho(10);
    const std::string pdf =
        imprime("TAB.TXT", {U"A\tB", U"ABCDEFGH\tC", U"ABC\t\tD", U"\x1b@E\tF", U"\tG"}, "TAB.pdf");
    const auto palavras = palavrasPdf(pdf);
    const double inicio = palavra(palavras, "A").xMin;
    const auto coluna = [&](const std::string& texto) {
        return std::lround((palavra(palavras, texto).xMin - inicio) / largura(10, 1));
    };
    EXPECT_EQ(coluna("B"), 8);
    EXPECT_EQ(coluna("C"), 16);
    EXPECT_EQ(coluna("D"), 16);
    EXPECT_EQ(coluna("F"), 8);  // the escape takes no column
    EXPECT_EQ(coluna("G"), 8);
}

TEST_F(VelmoraPdf, CaracteresDeControleNaoSaoDesenhados) {
    const std::string pdf = imprime("CTRL.TXT",
                                    {U"X\x01\x1b\x7fY\x0cZ\r",
                                     U"\x1b"
                                     U"E\x0f\x12"
                                     U"F\u0090\u009bIM\u0085"},
                                    "CTRL.pdf");
    EXPECT_EQ(linhasPorPagina(pdf), (Paginas{{"XYZ", "EFIM"}}));
}

TEST_F(VelmoraPdf, LinhaMaisLargaQueAPaginaECortadaNaMargem) {
    const auto linha = [](int colunas) {
        std::u32string texto;
        for (int i = 0; i < colunas; ++i) texto += static_cast<char32_t>(U'0' + i % 10);
        return texto;
    };
    const auto comoTexto = [](const std::u32string& s) { return std::string(s.begin(), s.end()); };

    // The widths the spooler's size bands promise fit whole.
    impressora_->defineTamanho(9);
    const std::string cem = imprime("CEM.TXT", {linha(100)}, "CEM.pdf");
    EXPECT_EQ(linhasPorPagina(cem), Paginas{{comoTexto(linha(100))}});
    impressora_->defineTamanho(7);
    const std::string larga = imprime("LARGA.TXT", {linha(132)}, "LARGA.pdf");
    EXPECT_EQ(linhasPorPagina(larga), Paginas{{comoTexto(linha(132))}});

    impressora_->defineTamanho(11);
    const std::string cortada = imprime("CORTADA.TXT", {linha(200), U"SEGUINTE"}, "CORTADA.pdf");
    const Paginas paginas = linhasPorPagina(cortada);
    ASSERT_EQ(paginas.size(), 1u);
    ASSERT_EQ(paginas[0].size(), 2u);
    EXPECT_GE(paginas[0][0].size(), 80u);
    EXPECT_LT(paginas[0][0].size(), 90u);
    EXPECT_EQ(paginas[0][0], comoTexto(linha(200)).substr(0, paginas[0][0].size()));
    EXPECT_EQ(paginas[0][1], "SEGUINTE");
    for (const Palavra& p : palavrasPdf(cortada)) EXPECT_LE(p.xMax, 595.28 - 15);
}

// Plain lines are drawn glyph by glyph from the font; lines with a combining mark or a character
// only a fallback font has go through Qt's text layout. Both keep every column where Courier's
// fixed pitch puts it, and neither joins letters into a ligature the font offers.
TEST_F(VelmoraPdf, ColunasFicamNoLugarComOuSemOsGlifosDaFonte) {
    impressora_->defineTamanho(10);
    const std::string pdf = imprime("COLUNAS.TXT",
                                    {U"AB    CD       EF", U"office fluffy", U"\u2502 CAIXA \u2502",
                                     U"\u2501 GROSSA \u2501", U"cafe\u0301 MARCA"},
                                    "COLUNAS.pdf");
    // pdftotext guesses blanks from gaps, so the text is compared word by word and the columns
    // are read from the word boxes.
    const auto palavrasDaLinha = [](const std::string& linha) {
        std::vector<std::string> palavras;
        std::istringstream fluxo(linha);
        for (std::string p; fluxo >> p;) palavras.push_back(p);
        return palavras;
    };
    const Paginas paginas = linhasPorPagina(pdf);
    ASSERT_EQ(paginas.size(), 1u);
    ASSERT_EQ(paginas[0].size(), 5u);
    using Palavras = std::vector<std::string>;
    EXPECT_EQ(palavrasDaLinha(paginas[0][0]), (Palavras{"AB", "CD", "EF"}));
    EXPECT_EQ(palavrasDaLinha(paginas[0][1]), (Palavras{"office", "fluffy"}));
    EXPECT_EQ(palavrasDaLinha(paginas[0][2]), (Palavras{"\u2502", "CAIXA", "\u2502"}));
    EXPECT_EQ(palavrasDaLinha(paginas[0][3]), (Palavras{"\u2501", "GROSSA", "\u2501"}));

    const auto palavras = palavrasPdf(pdf);
    const double inicio = palavra(palavras, "AB").xMin;
    const auto coluna = [&](const std::string& texto) {
        return (palavra(palavras, texto).xMin - inicio) / largura(10, 1);
    };
    EXPECT_NEAR(coluna("CD"), 6, 0.05);
    EXPECT_NEAR(coluna("EF"), 15, 0.05);
    EXPECT_NEAR(coluna("fluffy"), 7, 0.05);
    EXPECT_NEAR(coluna("CAIXA"), 2, 0.05);
    EXPECT_NEAR(coluna("GROSSA"), 2, 0.05);
    EXPECT_NEAR(coluna("MARCA"), 5, 0.05);  // the mark sits on its letter and takes no column
    const Palavra office = palavra(palavras, "office");
    EXPECT_NEAR(office.xMax - office.xMin, largura(10, 6), 0.5);
}

// Only a fixed-pitch font is drawn glyph by glyph: a proportional one keeps its kerning.
TEST_F(VelmoraPdf, FonteProporcionalGuardaOKerning) {
    impressora_->defineFonte("DejaVu Sans");
    impressora_->defineTamanho(20);
    const std::string pdf = imprime("KERN.TXT", {U"AVAVAVAVAV", U"AAAAAVVVVV"}, "KERN.pdf");
    ASSERT_EQ(fontesPdf(pdf), std::vector<std::string>{"DejaVuSans"});
    const auto palavras = palavrasPdf(pdf);
    const Palavra pares = palavra(palavras, "AVAVAVAVAV");
    const Palavra juntos = palavra(palavras, "AAAAAVVVVV");
    // Nine kerned pairs against one: well over a point narrower at 20 points.
    EXPECT_LT(pares.xMax - pares.xMin, juntos.xMax - juntos.xMin - 4);
}

TEST_F(VelmoraPdf, ImpressoraDesconhecidaNaoViraAtual) {
    try {
        impressora_->tornaAtual("Impressora Fantasma");
        FAIL() << "tornaAtual aceitou uma impressora que não existe";
    } catch (const ErroPlataforma& erro) {
        EXPECT_STREQ(erro.what(), "a impressora \"Impressora Fantasma\" não existe");
    }
    // Names are compared exactly: letter case is the caller's business.
    EXPECT_THROW(impressora_->tornaAtual("velmora pdf"), ErroPlataforma);

    const std::string pdf = imprime("AINDA.TXT", {U"AINDA AQUI"}, "AINDA.pdf");
    EXPECT_EQ(linhasPorPagina(pdf), Paginas{{"AINDA AQUI"}});
}

TEST_F(VelmoraPdf, SemServidorCupsSoHaAVelmoraPdfESemPadraoNadaEImpresso) {
    const auto impressoras = impressora_->impressoras();
    ASSERT_EQ(impressoras.size(), 1u);
    EXPECT_EQ(impressoras[0].nome, "Velmora PDF");
    EXPECT_EQ(impressoras[0].porta, "");

    ImpressoraQt nova(pasta_.string());
    nova.defineTitulo("SEMPADRAO.TXT");
    nova.terminaDocumento();  // an empty document needs no printer
    try {
        nova.imprimeLinha(U"TEXTO");
        nova.terminaDocumento();
        FAIL() << "imprimiu sem impressora";
    } catch (const ErroPlataforma& erro) {
        EXPECT_STREQ(erro.what(), "nenhuma impressora padrão definida");
    }
    nova.abortaDocumento();
    EXPECT_FALSE(fs::exists(pasta_));
}

TEST_F(VelmoraPdf, ListaDeFontesTrazUmaCourier) {
    const int quantidade = impressora_->quantidadeFontes();
    ASSERT_GT(quantidade, 0);
    bool achou = false;
    for (int i = 0; i < quantidade; ++i) {
        const std::string nome = impressora_->nomeFonte(i);
        achou = achou || nome.rfind("Courier", 0) == 0 || nome.rfind("Nimbus Mono", 0) == 0;
    }
    EXPECT_TRUE(achou);
    EXPECT_THROW(impressora_->nomeFonte(-1), ErroPlataforma);
    EXPECT_THROW(impressora_->nomeFonte(quantidade), ErroPlataforma);

    // A family picked from the list is the one printed.
    impressora_->defineFonte("DejaVu Sans");
    imprime("SANS.TXT", {U"SANS"});
    EXPECT_EQ(fontesPdf((pasta_ / "SANS.pdf").string()), std::vector<std::string>{"DejaVuSans"});
}

TEST_F(VelmoraPdf, DocumentoAbortadoEDescartadoEOSeguinteSaiLimpo) {
    impressora_->defineTitulo("ABORTADO.TXT");
    impressora_->imprimeLinha(U"NUNCA");
    impressora_->novaPagina();
    impressora_->abortaDocumento();
    impressora_->abortaDocumento();  // twice is harmless

    const std::string pdf = imprime("DEPOIS.TXT", {U"DEPOIS"}, "DEPOIS.pdf");
    EXPECT_EQ(arquivosEm(pasta_), std::vector<std::string>{"DEPOIS.pdf"});
    EXPECT_EQ(linhasPorPagina(pdf), Paginas{{"DEPOIS"}});
}

TEST(PastaPdfPadrao, FicaNosDocumentosDoUsuario) {
    const std::string padrao = ImpressoraQt::pastaPdfPadrao();
    EXPECT_TRUE(padrao.size() > 9 && padrao[0] == '/' &&
                padrao.substr(padrao.size() - 8) == "/Velmora")
        << padrao;
}

}  // namespace
