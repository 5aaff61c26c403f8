#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/GuardaEstadoWin32.h"
#include "platform/win32/SistemaArquivosWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/apoio/Nativos.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A fresh folder with Windows separators, removed at the end.
class ArquivosWin32 : public ::testing::Test {
  protected:
    void SetUp() override { pasta = teste::pastaTemporariaNova("velmora-win32") + "\\"; }
    void TearDown() override {
        std::error_code erro;
        fs::remove_all(fs::path(larga(pasta)), erro);
    }
    void grava(const std::string& nome, const std::string& conteudo = "x") {
        std::ofstream(fs::path(larga(pasta + nome)), std::ios::binary) << conteudo;
    }
    void atributo(const std::string& nome, DWORD atributo) {
        ASSERT_TRUE(::SetFileAttributesW(larga(pasta + nome).c_str(), atributo));
    }

    std::string pasta;
    SistemaArquivosWin32 arquivos;
};

TEST_F(ArquivosWin32, ListaSoArquivosComunsPeloPadraoSemCaixa) {
    grava("REL01.TXT");
    grava("rel02.txt");
    grava("A\xC3\xA7\xC3\xA3o.txt");  // "Ação.txt": UTF-8 in, UTF-8 out
    grava("OCULTO.TXT");
    atributo("OCULTO.TXT", FILE_ATTRIBUTE_HIDDEN);
    grava("SISTEMA.TXT");
    atributo("SISTEMA.TXT", FILE_ATTRIBUTE_SYSTEM);
    grava("REL01.TXT.OLD");
    fs::create_directory(fs::path(larga(pasta + "PASTA.TXT")));

    EXPECT_EQ(arquivos.lista(pasta + "*.TXT"),
              (std::vector<std::string>{"A\xC3\xA7\xC3\xA3o.txt", "REL01.TXT", "rel02.txt"}));
    EXPECT_EQ(arquivos.lista(pasta + "rel0?.TXT"),
              (std::vector<std::string>{"REL01.TXT", "rel02.txt"}));
    EXPECT_TRUE(arquivos.lista(pasta + "nao-existe\\*.TXT").empty());
    EXPECT_TRUE(arquivos.existePasta(pasta + "PASTA.TXT"));
    EXPECT_FALSE(arquivos.existe(pasta + "PASTA.TXT"));
}

TEST_F(ArquivosWin32, EmEscritaEnquantoOEscritorTemOArquivoAberto) {
    HANDLE escritor = ::CreateFileW(larga(pasta + "A.TXT").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(escritor, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(arquivos.emEscrita(pasta + "A.TXT"));
    ::CloseHandle(escritor);
    EXPECT_FALSE(arquivos.emEscrita(pasta + "A.TXT"));
    EXPECT_FALSE(arquivos.emEscrita(pasta + "SUMIU.TXT"));
}

// The lock keeps a second spooler out and nobody else: the job is read, renamed, deleted, and a
// new job of the same name can be written while the lock is still kept.
TEST_F(ArquivosWin32, TravaSoExcluiOutroSpooler) {
    grava("A.TXT", "conteudo");
    auto trava = arquivos.trava(pasta + "A.TXT");
    ASSERT_NE(trava, nullptr);
    EXPECT_EQ(SistemaArquivosWin32().trava(pasta + "A.TXT"), nullptr);
    EXPECT_EQ(arquivos.leTudo(pasta + "A.TXT"), "conteudo");
    arquivos.renomeia(pasta + "A.TXT", pasta + "A.bak");
    arquivos.exclui(pasta + "A.bak");
    grava("A.bak", "novo");
    EXPECT_EQ(arquivos.leTudo(pasta + "A.bak"), "novo");
    trava.reset();
    EXPECT_EQ(arquivos.lista(pasta + "*"), std::vector<std::string>{"A.bak"});
    EXPECT_EQ(arquivos.trava(pasta + "SUMIU.TXT"), nullptr);
}

TEST_F(ArquivosWin32, InfoDizQualArquivoECriaExclusivoNaoSobrescreve) {
    grava("A.TXT", "abc");
    const auto antes = arquivos.info(pasta + "A.TXT");
    ASSERT_TRUE(antes);
    EXPECT_EQ(antes->tamanho, 3u);
    arquivos.renomeia(pasta + "A.TXT", pasta + "B.TXT");
    const auto depois = arquivos.info(pasta + "B.TXT");
    ASSERT_TRUE(depois);
    EXPECT_TRUE(mesmaIdentidade(*antes, *depois));
    EXPECT_FALSE(arquivos.info(pasta + "A.TXT"));

    EXPECT_THROW(arquivos.criaExclusivo(pasta + "B.TXT"), ErroPlataforma);
    auto novo = arquivos.criaExclusivo(pasta + "C.TXT");
    novo->escreve("123");
    novo->fecha();
    EXPECT_EQ(arquivos.leTudo(pasta + "C.TXT"), "123");
}

TEST_F(ArquivosWin32, EstadoAoLadoDoIniOuNaPastaReserva) {
    const std::string ini = pasta + "VELMORA.INI";
    GuardaEstadoWin32 estado(ini, pasta + "reserva");
    EXPECT_EQ(estado.le(), "");
    estado.grava("A.TXT\r\n");
    estado.grava("B.TXT\r\n");
    EXPECT_EQ(estado.le(), "B.TXT\r\n");
    EXPECT_EQ(estado.caminho(), pasta + "VELMORA.ESTADO");

    // A folder nobody can write to (it does not exist, nor can it be made): the spare one.
    const std::string semPasta = pasta + "nao\\pode\\VELMORA.INI";
    GuardaEstadoWin32 reserva(semPasta, pasta + "reserva");
    EXPECT_EQ(reserva.caminho(), pasta + "reserva\\VELMORA.ESTADO");
    reserva.grava("C");
    EXPECT_EQ(reserva.le(), "C");
}

}  // namespace
}  // namespace velmora
