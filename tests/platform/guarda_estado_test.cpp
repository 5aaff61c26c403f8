#include "platform/posix/GuardaEstadoPosix.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(GuardaEstadoPosix, GuardaAoLadoDoArquivoDeConfiguracaoEntreExecucoes) {
    std::string modelo = (fs::temp_directory_path() / "velmora-estado-XXXXXX").string();
    ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
    std::string sArquivoIni;
    GuardaEstadoPosix estado(sArquivoIni, "/nao/usada");
    sArquivoIni = modelo + "/VELMORA.INI";  // known only after the runner was built

    EXPECT_EQ(estado.le(), "");
    estado.grava("1 2 3 4 /srv/spool/A.TXT\n");
    estado.grava("5 6 7 8 /srv/spool/B.TXT\n");

    GuardaEstadoPosix seguinte(sArquivoIni, "/nao/usada");
    EXPECT_EQ(seguinte.le(), "5 6 7 8 /srv/spool/B.TXT\n");
    EXPECT_EQ(seguinte.caminho(), modelo + "/VELMORA.ESTADO");
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(modelo)) nomes.push_back(e.path().filename());
    EXPECT_EQ(nomes, std::vector<std::string>{"VELMORA.ESTADO"});
    fs::remove_all(modelo);
}

TEST(GuardaEstadoPosix, VaiParaAPastaReservaQuandoADoArquivoDeConfiguracaoNaoSeEscreve) {
    std::string modelo = (fs::temp_directory_path() / "velmora-estado-XXXXXX").string();
    ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
    const std::string sArquivoIni = modelo + "/nao-existe/VELMORA.INI";
    GuardaEstadoPosix estado(sArquivoIni, modelo);

    estado.grava("1 2 3 4 /srv/spool/A.TXT\n");
    EXPECT_EQ(estado.caminho(), modelo + "/VELMORA.ESTADO");
    EXPECT_EQ(GuardaEstadoPosix(sArquivoIni, modelo).le(), "1 2 3 4 /srv/spool/A.TXT\n");
    fs::remove_all(modelo);
}

}  // namespace
}  // namespace velmora
