// A folder is listed again after every job; the listing kept between calls must always be what a
// fresh reading of the folder would give.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "apoio/PastaTemporaria.h"
#include "platform/posix/ListagemVigiada.h"
#include "platform/posix/SistemaArquivosPosix.h"

namespace velmora {
namespace {

using Nomes = std::vector<std::string>;
namespace fs = std::filesystem;

class ListagemRepetidaTest : public ::testing::Test {
  protected:
    PastaTemporaria pasta;
    SistemaArquivosPosix arquivos;

    Nomes lista() { return arquivos.lista(pasta / "fila/*.TXT"); }
    // What a new object, with nothing kept, lists.
    Nomes listaNova() { return SistemaArquivosPosix().lista(pasta / "fila/*.TXT"); }
    std::string fila(const std::string& nome) { return pasta / ("fila/" + nome); }

    void SetUp() override { fs::create_directory(pasta / "fila"); }
};

TEST_F(ListagemRepetidaTest, VeCadaArquivoQueChegaOuSaiEntreDuasListagens) {
    gravaArquivo(fila("B.TXT"), "b");
    gravaArquivo(fila("OUTRO.DAT"), "x");
    EXPECT_EQ(lista(), (Nomes{"B.TXT"}));

    gravaArquivo(fila("A.TXT"), "a");
    gravaArquivo(fila("c.txt"), "c");
    EXPECT_EQ(lista(), (Nomes{"A.TXT", "B.TXT", "c.txt"}));

    ::unlink(fila("B.TXT").c_str());
    EXPECT_EQ(lista(), (Nomes{"A.TXT", "c.txt"}));

    // Renamed into the pattern, out of it, and from outside the folder.
    ::rename(fila("OUTRO.DAT").c_str(), fila("D.TXT").c_str());
    ::rename(fila("A.TXT").c_str(), fila("A.bak").c_str());
    gravaArquivo(pasta / "fora.TXT", "f");
    ::rename((pasta / "fora.TXT").c_str(), fila("E.TXT").c_str());
    EXPECT_EQ(lista(), (Nomes{"D.TXT", "E.TXT", "c.txt"}));
    EXPECT_EQ(lista(), listaNova());

    // Out of the folder altogether.
    ::rename(fila("E.TXT").c_str(), (pasta / "E.TXT").c_str());
    EXPECT_EQ(lista(), (Nomes{"D.TXT", "c.txt"}));
}

TEST_F(ListagemRepetidaTest, SoArquivosComunsMesmoQuandoUmNomeMudaDeTipo) {
    gravaArquivo(fila("A.TXT"), "a");
    EXPECT_EQ(lista(), (Nomes{"A.TXT"}));

    fs::create_directory(fila("PASTA.TXT"));
    fs::create_symlink(fila("A.TXT"), fila("LINK.TXT"));
    gravaArquivo(fila(".OCULTO.TXT"), "o");
    EXPECT_EQ(lista(), (Nomes{"A.TXT"}));

    // A job replaced by a link under the same name stops being one.
    fs::create_symlink(pasta / "sumiu", pasta / "novo");
    ::rename((pasta / "novo").c_str(), fila("A.TXT").c_str());
    EXPECT_EQ(lista(), Nomes{});

    // A hard link is a regular file like any other.
    gravaArquivo(pasta / "origem", "o");
    ASSERT_EQ(::link((pasta / "origem").c_str(), fila("H.TXT").c_str()), 0);
    EXPECT_EQ(lista(), (Nomes{"H.TXT"}));
    EXPECT_EQ(lista(), listaNova());
}

TEST_F(ListagemRepetidaTest, PastaTrocadaOuApagadaELidaDeNovo) {
    gravaArquivo(fila("A.TXT"), "a");
    EXPECT_EQ(lista(), (Nomes{"A.TXT"}));

    // Another folder under the same path: its own files, not the old listing.
    fs::rename(pasta / "fila", pasta / "velha");
    fs::create_directory(pasta / "fila");
    gravaArquivo(fila("B.TXT"), "b");
    EXPECT_EQ(lista(), (Nomes{"B.TXT"}));
    gravaArquivo(pasta / "velha/C.TXT", "c");
    EXPECT_EQ(lista(), (Nomes{"B.TXT"}));

    fs::remove_all(pasta / "fila");
    EXPECT_EQ(lista(), Nomes{});
    fs::create_directory(pasta / "fila");
    gravaArquivo(fila("D.TXT"), "d");
    EXPECT_EQ(lista(), (Nomes{"D.TXT"}));

    // The folder is a link that now leads to the old one, which kept its job.
    fs::remove_all(pasta / "fila");
    fs::create_directory_symlink(pasta / "velha", pasta / "fila");
    EXPECT_EQ(lista(), (Nomes{"A.TXT", "C.TXT"}));
}

TEST_F(ListagemRepetidaTest, OutroPadraoOuOutraPastaNaoHerdaALista) {
    gravaArquivo(fila("A.TXT"), "a");
    gravaArquivo(fila("B.PRN"), "b");
    fs::create_directory(pasta / "outra");
    gravaArquivo(pasta / "outra/C.TXT", "c");

    EXPECT_EQ(lista(), (Nomes{"A.TXT"}));
    EXPECT_EQ(arquivos.lista(pasta / "fila/*.PRN"), (Nomes{"B.PRN"}));
    EXPECT_EQ(arquivos.lista(pasta / "outra/*.TXT"), (Nomes{"C.TXT"}));
    gravaArquivo(fila("D.TXT"), "d");
    EXPECT_EQ(lista(), (Nomes{"A.TXT", "D.TXT"}));
}

TEST_F(ListagemRepetidaTest, MuitasMudancasDeUmaVezNaoPerdemNenhuma) {
    EXPECT_EQ(lista(), Nomes{});
    Nomes esperado;
    // Far more events than one read of the queue holds.
    for (int i = 0; i < 3000; ++i) {
        char nome[16];
        std::snprintf(nome, sizeof nome, "J%04d.TXT", i);
        gravaArquivo(fila(nome), "j");
        if (i % 3 == 0) {
            ::unlink(fila(nome).c_str());
        } else {
            esperado.emplace_back(nome);
        }
    }
    EXPECT_EQ(lista(), esperado);
    EXPECT_EQ(lista(), listaNova());
}

// A folder shared over the network gets no events for files that other machines write: what the
// folder itself says must win again by the next tick.
TEST_F(ListagemRepetidaTest, MudancaSemEventoApareceNaLeituraSeguinteAoPrazo) {
    ListagemVigiada listagem;
    const std::string folder = pasta / "fila/";
    Nomes remota{"A.TXT"};
    const auto leitura = [&] { return remota; };
    EXPECT_EQ(listagem.lista(folder, "*.TXT", leitura), (Nomes{"A.TXT"}));

    remota = {"A.TXT", "B.TXT"};  // written by another machine: no inotify event
    std::this_thread::sleep_for(ListagemVigiada::kValidade + std::chrono::milliseconds(100));
    EXPECT_EQ(listagem.lista(folder, "*.TXT", leitura), (Nomes{"A.TXT", "B.TXT"}));
}

}  // namespace
}  // namespace velmora
