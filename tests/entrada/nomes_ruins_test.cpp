// Odd names in the watched folder, and entries that match the pattern but are no jobs: none is
// printed twice, lost, or followed out of the folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "apoio/Bancada.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using teste::Bancada;
using Linhas = std::vector<std::string>;

class NomesRuins : public ::testing::Test {
  protected:
    Bancada b;
};

TEST_F(NomesRuins, EspacosAcentosColchetesEQuebrasDeLinhaNoNome) {
    const Linhas nomes = {"REL 01.TXT", "RELAÇÃO.TXT", "REL[1].TXT",
                          "REL\n2.TXT", "REL\xe7.TXT", " .TXT"};
    for (const std::string& nome : nomes) b.escreve(nome, "job " + nome + "\r\n");

    const ResumoCiclo resumo = b.tique("*.txt");
    EXPECT_EQ(resumo.impressos, static_cast<int>(nomes.size()));
    EXPECT_EQ(resumo.falhas, 0);
    for (const std::string& nome : nomes) {
        const std::string backup = nome.substr(0, nome.size() - 3) + "bak";
        EXPECT_EQ(b.le(backup), "job " + nome + "\r\n") << backup;
        // The LF of the name is a line feed in the job's text, so it ends a line on paper.
        const std::size_t linhas = nome.find('\n') == std::string::npos ? 1 : 2;
        EXPECT_EQ(b.linhasImpressas(nome).size(), linhas) << nome;
    }
    EXPECT_EQ(b.naPasta().size(), nomes.size());
    EXPECT_NE(std::find(b.mensagens.begin(), b.mensagens.end(),
                        "Arquivo " + b.caminho("REL\n2.TXT") + " impresso"),
              b.mensagens.end());
}

TEST_F(NomesRuins, ColchetesNoPadraoValemPorSiMesmos) {
    b.escreve("REL[1]A.TXT", "com colchetes\r\n");
    b.escreve("REL1A.TXT", "sem colchetes\r\n");
    EXPECT_EQ(b.tique("REL[1]*.TXT").impressos, 1);
    EXPECT_EQ(b.naPasta(), (Linhas{"REL1A.TXT", "REL[1]A.bak"}));
}

TEST_F(NomesRuins, NomeComCuringaNaoApagaOBackupDeOutroTrabalho) {
    // "A*.bak" as a pattern also matches ABC.bak; only a file named exactly so may be replaced.
    b.escreve("A*.TXT", "estrela\r\n");
    b.escreve("ABC.bak", "backup de outro trabalho\r\n");
    b.escreve("A?.TXT", "interrogacao\r\n");
    b.escreve("AB.bak", "outro backup\r\n");
    EXPECT_EQ(b.tique("A[*?].TXT").impressos, 0);  // brackets are literal: nothing matches
    EXPECT_EQ(b.tique("A?.TXT").impressos, 2);
    EXPECT_EQ(b.le("ABC.bak"), "backup de outro trabalho\r\n");
    EXPECT_EQ(b.le("AB.bak"), "outro backup\r\n");
    EXPECT_EQ(b.le("A*.bak"), "estrela\r\n");
    EXPECT_EQ(b.le("A?.bak"), "interrogacao\r\n");
}

TEST_F(NomesRuins, OcultosPastasLinksEFifosQueCasamNaoSaoTrabalhos) {
    Bancada fora;
    fora.escreve("ALVO.TXT", "fora da pasta vigiada\r\n");
    b.escreve(".OCULTO.TXT", "oculto\r\n");
    fs::create_directory(b.caminho("PASTA.TXT"));
    b.escreve("PASTA.TXT/DENTRO.TXT", "dentro\r\n");
    fs::create_symlink(fora.caminho("ALVO.TXT"), b.caminho("LINK.TXT"));
    fs::create_symlink(fora.pasta(), b.caminho("LINKPASTA.TXT"));
    fs::create_symlink(b.caminho("NAOHA"), b.caminho("MORTO.TXT"));
    ASSERT_EQ(::mkfifo(b.caminho("FILA.TXT").c_str(), 0644), 0);
    b.escreve("JOB.TXT", "o único trabalho\r\n");

    const ResumoCiclo resumo = b.tique("*.TXT");
    EXPECT_EQ(resumo.impressos, 1);
    EXPECT_EQ(resumo.falhas, 0);
    EXPECT_EQ(b.naPasta(), (Linhas{".OCULTO.TXT", "FILA.TXT", "JOB.bak", "LINK.TXT",
                                   "LINKPASTA.TXT", "MORTO.TXT", "PASTA.TXT"}));
    EXPECT_TRUE(fs::is_symlink(b.caminho("LINK.TXT")));
    EXPECT_EQ(fora.naPasta(), Linhas{"ALVO.TXT"});
    EXPECT_EQ(fora.le("ALVO.TXT"), "fora da pasta vigiada\r\n");
    EXPECT_EQ(b.le("PASTA.TXT/DENTRO.TXT"), "dentro\r\n");
    EXPECT_EQ(b.impressora.documento(), (Linhas{"linha o único trabalho", "fim"}));
}

TEST_F(NomesRuins, PadraoComLinkParaPastaListaAPastaMasNaoSaiDela) {
    // The folder part itself may be a link (a share mounted elsewhere): that is followed.
    Bancada real;
    real.escreve("VIA.TXT", "pela pasta ligada\r\n");
    fs::create_symlink(real.pasta(), b.caminho("atalho"));
    EXPECT_EQ(b.tique("atalho/*.TXT").impressos, 1);
    EXPECT_EQ(real.naPasta(), Linhas{"VIA.bak"});
}

TEST_F(NomesRuins, CaractereNuloEmLocalNaoTocaEmNada) {
    // A binary settings file can put a NUL into LOCAL; C paths end there.
    fs::create_directory(b.caminho("sub"));
    b.escreve("sub/JOB.TXT", "job\r\n");
    b.escreve("JOB.TXT", "job\r\n");
    b.valores.sBackup = "0";
    for (const std::string& padrao :
         {std::string("sub\0/*.TXT", 10), std::string("sub/\0*.TXT", 10),
          std::string("JOB.TXT\0/*.TXT", 14)}) {
        const ResumoCiclo resumo = b.tique(padrao);
        EXPECT_EQ(resumo.impressos, 0);
    }
    EXPECT_EQ(b.le("sub/JOB.TXT"), "job\r\n");
    EXPECT_EQ(b.le("JOB.TXT"), "job\r\n");
    EXPECT_TRUE(b.impressora.documento().empty());
}

}  // namespace
}  // namespace velmora
