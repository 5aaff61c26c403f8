#include "platform/cups/FilasCups.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "apoio/PastaTemporaria.h"
#include "platform/posix/PortaBruta.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {
namespace {

// Queues on a real server are tested with the printing layer; here, a machine without one.
class SemServidorCupsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::setenv("CUPS_SERVER", "/nonexistent/socket", 1); }

    PastaTemporaria pasta;
};

TEST_F(SemServidorCupsTest, NaoHaFilas) {
    EXPECT_TRUE(filasCups().empty());
    EXPECT_EQ(filaPadraoCups(), "");
    EXPECT_FALSE(existeFilaCups("Q"));
}

TEST_F(SemServidorCupsTest, EnviarFalhaDizendoAFila) {
    gravaArquivo(pasta / "job.pdf", "%PDF-1.4\n");
    try {
        enviaArquivoCups("Q", pasta / "job.pdf", "REL01.TXT", CUPS_FORMAT_PDF);
        FAIL() << "enviou sem servidor";
    } catch (const ErroPlataforma& e) {
        EXPECT_EQ(std::string(e.what()).rfind("fila \"Q\": ", 0), 0u) << e.what();
    }
}

TEST_F(SemServidorCupsTest, ArquivoQueFaltaFalhaAntesDeFalarComOServidor) {
    try {
        enviaArquivoCups("Q", pasta / "sumiu.pdf", "t", CUPS_FORMAT_RAW);
        FAIL() << "enviou um arquivo que não existe";
    } catch (const ErroPlataforma& e) {
        EXPECT_EQ(std::string(e.what()),
                  "arquivo " + pasta / "sumiu.pdf" + ": No such file or directory");
    }
}

}  // namespace
}  // namespace velmora
