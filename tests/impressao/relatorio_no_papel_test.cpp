// Reports through the spooler's printer path onto "Velmora PDF", on A4 and on US Letter (the
// locale's paper), read back with poppler: nothing cut at the edge, the sheet turned or the size
// lowered only where the report needs it, and 66-line form pages on one sheet each.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "impressao/apoio/Poppler.h"
#include "platform/posix/DecodificadorIconv.h"
#include "platform/posix/SistemaArquivosPosix.h"
#include "platform/qt/ImpressoraQt.h"
#include "spooler/LeitorJob.h"
#include "spooler/Saida.h"
#include "spooler/apoio/PerguntaFixa.h"
#include "spooler/apoio/RelogioFixo.h"

namespace fs = std::filesystem;
using namespace velmora;
using namespace velmora::teste;

namespace {

constexpr double kMargem = 18;  // a quarter inch, in points

struct Folha {
    double largura = 0, altura = 0;
    std::string nome;  // as pdfinfo names it
};

Folha folhaDe(const std::string& pdf) {
    std::istringstream campo(campoPdf(pdf, "Page size"));
    Folha f;
    std::string x, pts;
    campo >> f.largura >> x >> f.altura >> pts >> f.nome;
    return f;
}

// A character pattern without blanks, so that pdftotext gives it back as one word.
std::string padrao(std::size_t colunas) {
    std::string s;
    for (std::size_t i = 0; i < colunas; ++i) s += static_cast<char>('A' + i % 26);
    return s;
}

class RelatorioNoPapel : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(raiz_.isValid());
        setenv("CUPS_SERVER", "/nonexistent/velmora-teste.sock", 1);
        unsetenv("LC_ALL");
        pastaJobs_ = fs::path(raiz_.path().toStdString()) / "jobs";
        pastaPdf_ = fs::path(raiz_.path().toStdString()) / "pdf";
        fs::create_directories(pastaJobs_);
        valores_.sImpressora = "Velmora PDF";
    }
    void TearDown() override { unsetenv("LC_PAPER"); }

    void usaPapel(const std::string& papel) {
        setenv("LC_PAPER", papel == "letter" ? "en_US.UTF-8" : "C", 1);
    }

    // Reads the job as the cycle does and prints it; gives the PDF's path.
    std::string imprime(const std::string& nome, const std::string& bytes) {
        std::ofstream(pastaJobs_ / nome, std::ios::binary) << bytes;
        SistemaArquivosPosix arquivos;
        DecodificadorIconv decodificador;
        PerguntaFixa pergunta;
        RelogioFixo relogio;
        ImpressoraQt impressora(pastaPdf_.string());
        DispositivosSaida saida{impressora, arquivos, decodificador, relogio};
        const JobLido job = le_conteudo(pastaJobs_.string() + "/", nome, valores_, arquivos,
                                        decodificador, pergunta);
        EXPECT_TRUE(job.lido) << job.motivo;
        const Resultado r = Imprimir(job.texto, valores_, nome, saida);
        EXPECT_TRUE(r.ok) << r.motivo;
        return (pastaPdf_ / (nome.substr(0, nome.find('.')) + ".pdf")).string();
    }

    QTemporaryDir raiz_;
    fs::path pastaJobs_, pastaPdf_;
    Valores valores_;
};

// Paper, widest line in columns, and the size the report must come out at.
using Largura = std::tuple<std::string, int, double>;

class LarguraNoPapel : public RelatorioNoPapel, public testing::WithParamInterface<Largura> {};

TEST_P(LarguraNoPapel, NadaECortadoNaMargem) {
    const auto [papel, colunas, pontos] = GetParam();
    usaPapel(papel);
    const auto n = static_cast<std::size_t>(colunas);
    // Tabs and leading blanks are printed, so they take part in the width.
    const std::string tabulada = padrao(n - 16);
    const std::string recuada = padrao(n - 3);
    const std::string pdf =
        imprime("LARGO.TXT", "\t\t" + tabulada + "   \r\n   " + recuada + "\r\nfim\r\n");

    const Folha folha = folhaDe(pdf);
    EXPECT_EQ(folha.nome, papel == "letter" ? "(letter)" : "(A4)");
    const double avanco = 0.6 * pontos;
    const bool deitada = (papel == "letter" ? 576.0 : 559.28) < colunas * 0.6 * 7;
    EXPECT_EQ(folha.largura > folha.altura, deitada);

    const auto palavras = palavrasPdf(pdf);
    ASSERT_EQ(paginasPdf(pdf).size(), 1u);
    const Palavra t = palavra(palavras, tabulada);
    const Palavra r = palavra(palavras, recuada);
    // Within the font's rounding to whole pixels of 1/1200 inch.
    EXPECT_NEAR((t.xMax - t.xMin) / (n - 16), avanco, 0.03);
    EXPECT_NEAR(t.xMin, kMargem + 16 * avanco, 0.5);
    EXPECT_NEAR(r.xMin, kMargem + 3 * avanco, 0.1);
    for (const Palavra& p : palavras) EXPECT_LE(p.xMax, folha.largura - kMargem + 0.01) << p.texto;
}

INSTANTIATE_TEST_SUITE_P(A4ECarta, LarguraNoPapel,
                         testing::Values(Largura{"A4", 80, 11}, Largura{"A4", 81, 9},
                                         Largura{"A4", 132, 7}, Largura{"A4", 136, 7},
                                         Largura{"A4", 160, 7}, Largura{"A4", 220, 6.1},
                                         Largura{"letter", 80, 11}, Largura{"letter", 81, 9},
                                         Largura{"letter", 132, 7}, Largura{"letter", 136, 7},
                                         Largura{"letter", 160, 7}, Largura{"letter", 220, 5.7}),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

class FolhaDoLocal : public RelatorioNoPapel, public testing::WithParamInterface<std::string> {};

// Wider than any size can hold: the line goes on over the following lines, every character kept.
TEST_P(FolhaDoLocal, LinhaDe40000CaracteresContinuaNasLinhasSeguintes) {
    usaPapel(GetParam());
    const std::string longa = padrao(40000);
    const std::string pdf = imprime("ENORME.TXT", longa + "\r\nfim\r\n");
    std::string junto;
    for (const std::string& pagina : paginasPdf(pdf)) {
        for (const std::string& linha : linhasCheias(pagina)) {
            if (linha != "fim") junto += linha;
        }
    }
    EXPECT_EQ(junto, longa);
    const Folha folha = folhaDe(pdf);
    for (const Palavra& p : palavrasPdf(pdf)) {
        EXPECT_LE(p.xMax, folha.largura - kMargem + 0.01);
        EXPECT_NEAR((p.xMax - p.xMin) / p.texto.size(), 0.6 * 5, 0.03) << p.texto;
    }
}

// The continuous form: 66 lines and a form feed per page, one sheet each. A break that finds the
// new page still empty adds no sheet; two explicit breaks in a row still leave one blank.
TEST_P(FolhaDoLocal, FormularioDe66LinhasCabeNumaFolha) {
    usaPapel(GetParam());
    std::string job;
    for (int i = 1; i <= 66; ++i) job += "FOLHA 1 LINHA " + std::to_string(i) + "\r\n";
    job.insert(job.size() - 2, "\f");
    for (int i = 1; i <= 66; ++i) job += "FOLHA 2 LINHA " + std::to_string(i) + "\r\n";
    job += "EJECT\r\n\f\r\nFIM\r\n";
    const std::string pdf = imprime("FORM.TXT", job);

    std::vector<std::vector<std::string>> paginas;
    for (const std::string& pagina : paginasPdf(pdf)) paginas.push_back(linhasCheias(pagina));
    ASSERT_EQ(paginas.size(), 4u);
    EXPECT_EQ(paginas[0].size(), 66u);
    EXPECT_EQ(paginas[0].back(), "FOLHA 1 LINHA 66");
    EXPECT_EQ(paginas[1].size(), 66u);
    EXPECT_EQ(paginas[1].back(), "FOLHA 2 LINHA 66");
    EXPECT_TRUE(paginas[2].empty());
    EXPECT_EQ(paginas[3], std::vector<std::string>{"FIM"});

    // At the size the rule chose, 11 points, with lines that do not run into each other.
    const auto palavras = palavrasPdf(pdf);
    const Palavra folha = palavra(palavras, "FOLHA");
    EXPECT_NEAR((folha.xMax - folha.xMin) / 5, 0.6 * 11, 0.03);
    const double passo = palavras[4].yMin - palavras[0].yMin;
    EXPECT_GE(passo, 11 - 0.01);
    // The last line stays inside the margin (its box reaches below the letters by a hair).
    EXPECT_LE(palavra(palavras, "66").yMax, folhaDe(pdf).altura - kMargem + 1);
}

INSTANTIATE_TEST_SUITE_P(A4ECarta, FolhaDoLocal, testing::Values("A4", "letter"));

}  // namespace
