#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/DecodificadorWin32.h"
#include "platform/win32/PortaWin32.h"
#include "platform/win32/RelogioWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/apoio/Nativos.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(CodigosPaginaWin32, NomesDoLinuxOuNumeros) {
    EXPECT_EQ(codigoPagina("850"), 850u);
    EXPECT_EQ(codigoPagina("CP850"), 850u);
    EXPECT_EQ(codigoPagina("ibm437"), 437u);
    EXPECT_EQ(codigoPagina("WINDOWS-1252"), 1252u);
    EXPECT_EQ(codigoPagina("ISO-8859-1"), 28591u);
    EXPECT_EQ(codigoPagina("utf-8"), 65001u);
    EXPECT_EQ(codigoPagina("OEMCP"), ::GetOEMCP());
    EXPECT_EQ(codigoPagina("KLINGON"), 0u);
    EXPECT_EQ(codigoPagina("CP"), 0u);
    EXPECT_THROW(DecodificadorWin32("KLINGON"), ErroPlataforma);
}

TEST(CodigosPaginaWin32, EscolheEDecodifica) {
    const DecodificadorWin32 automatico;
    EXPECT_EQ(automatico.escolhe("RELA\xC3\x87\xC3\x83O"), "UTF-8");
    EXPECT_EQ(automatico.escolhe("RELA\xC7\xC3O"), "WINDOWS-1252");
    EXPECT_EQ(automatico.decodifica("A\xC7\xC3", "WINDOWS-1252"), U"A\u00C7\u00C3");
    EXPECT_EQ(automatico.decodifica("\x87\x80", "CP850"), U"\u00E7\u00C7");
    EXPECT_EQ(automatico.decodifica("\xC3", "UTF-8"), U"\uFFFD");
    EXPECT_EQ(automatico.decodifica("\xF0\x9F\x98\x80", "UTF-8"), U"\U0001F600");
    EXPECT_EQ(DecodificadorWin32("437").escolhe("RELA\xC3\x87\xC3\x83O"), "437");
}

TEST(RelogioWin32, DataCurtaBrancoEHora) {
    const std::string agora = RelogioWin32().dataHora();
    const auto branco = agora.find(' ');
    ASSERT_NE(branco, std::string::npos) << agora;
    EXPECT_NE(agora.substr(0, branco).find_first_of("0123456789"), std::string::npos) << agora;
    EXPECT_NE(agora.find(':', branco), std::string::npos) << agora;
}

class PortaWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        pasta = teste::pastaTemporariaNova("velmora-porta") + "\\";
        std::ofstream(fs::path(larga(pasta + "job.tmp")), std::ios::binary) << "ESC\x1b@\r\n";
        anterior = fs::current_path();
        fs::current_path(fs::path(larga(pasta)));
    }
    void TearDown() override {
        fs::current_path(anterior);
        std::error_code erro;
        fs::remove_all(fs::path(larga(pasta)), erro);
    }
    std::string le(const std::string& caminho) {
        std::ifstream entrada(fs::path(larga(caminho)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(entrada), {});
    }

    std::string pasta;
    fs::path anterior;
};

TEST_F(PortaWin32, CopiaParaCaminhoOuArquivoExistente) {
    copiaParaPorta(pasta + "job.tmp", pasta + "saida.prn");
    EXPECT_EQ(le(pasta + "saida.prn"), "ESC\x1b@\r\n");
    std::ofstream(fs::path(larga(pasta + "EXISTE"))) << "velho";
    copiaParaPorta(pasta + "job.tmp", "EXISTE");
    EXPECT_EQ(le(pasta + "EXISTE"), "ESC\x1b@\r\n");
}

TEST_F(PortaWin32, NomeQueNaoEDispositivoNemArquivoERecusado) {
    try {
        copiaParaPorta(pasta + "job.tmp", "IMPRESSORA1");
        ADD_FAILURE() << "copiou";
    } catch (const ErroPlataforma& e) {
        EXPECT_NE(std::string(e.what()).find("IMPRESSORA1"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(fs::path(larga(pasta + "IMPRESSORA1"))));
    EXPECT_TRUE(ehDispositivo("lpt2"));
    EXPECT_TRUE(ehDispositivo("LPT2:"));
    EXPECT_TRUE(ehDispositivo("COM1"));
    EXPECT_FALSE(ehDispositivo("LPT"));
    EXPECT_FALSE(ehDispositivo("LPT10"));
}

}  // namespace
}  // namespace velmora
