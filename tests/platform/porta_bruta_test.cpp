#include "platform/posix/PortaBruta.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "apoio/MotivoDaFalha.h"
#include "apoio/PastaTemporaria.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {
namespace {

class PortaBrutaTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // main does the same: a reader that goes away must be an error, not the end.
        ::signal(SIGPIPE, SIG_IGN);
        // Names without "/" are looked up among the queues: never on a server of this machine.
        ::setenv("CUPS_SERVER", "/nonexistent/socket", 1);
    }

    PastaTemporaria pasta;
};

TEST_F(PortaBrutaTest, CopiaParaArquivoCadaByteComoEsta) {
    std::string job = todosOsBytes() + "EJECT\r\n\x0c";
    gravaArquivo(pasta / "temp.BAK", job);
    gravaArquivo(pasta / "porta.prn", std::string(100000, 'v'));  // longer: must be cut

    copiaParaPorta(pasta / "temp.BAK", pasta / "porta.prn", "REL01.TXT");
    EXPECT_EQ(leArquivo(pasta / "porta.prn"), job);
    EXPECT_EQ(leArquivo(pasta / "temp.BAK"), job);
}

TEST_F(PortaBrutaTest, CopiaJobGrandeInteiro) {
    std::string job;
    for (int i = 0; job.size() < 3 * 1024 * 1024 + 11; ++i) job += std::to_string(i) + "\r\n";
    gravaArquivo(pasta / "temp.BAK", job);
    copiaParaPorta(pasta / "temp.BAK", pasta / "lp0", "grande");
    EXPECT_TRUE(leArquivo(pasta / "lp0") == job);
}

TEST_F(PortaBrutaTest, NomeSemPastaQueNaoEFilaSoValeParaArquivoQueJaExisteNaPastaAtual) {
    gravaArquivo(pasta / "temp.BAK", "abc\r\n");
    gravaArquivo(pasta / "SAIDA.PRN", "");
    std::filesystem::path antes = std::filesystem::current_path();
    std::filesystem::current_path(pasta.caminho());
    std::string preparado = motivoDe([] { copiaParaPorta("temp.BAK", "SAIDA.PRN", "t"); });
    // A queue that was removed, or a CUPS server that is down: the job must not land in a new
    // file named after the queue and count as printed.
    std::string sumida = motivoDe([] { copiaParaPorta("temp.BAK", "FilaSumida", "t"); });
    std::filesystem::current_path(antes);
    EXPECT_EQ(preparado, "(não falhou)");
    EXPECT_EQ(leArquivo(pasta / "SAIDA.PRN"), "abc\r\n");
    EXPECT_EQ(sumida,
              "porta FilaSumida: não é uma fila do CUPS (o servidor está no ar?) nem um arquivo "
              "existente");
    EXPECT_FALSE(std::filesystem::exists(pasta / "FilaSumida"));
}

TEST_F(PortaBrutaTest, OrigemQueFaltaNaoTocaNaPorta) {
    gravaArquivo(pasta / "porta.prn", "anterior");
    EXPECT_EQ(motivoDe([&] { copiaParaPorta(pasta / "sumiu.BAK", pasta / "porta.prn", "t"); }),
              "arquivo " + pasta / "sumiu.BAK" + ": No such file or directory");
    EXPECT_EQ(leArquivo(pasta / "porta.prn"), "anterior");
}

TEST_F(PortaBrutaTest, DispositivoAusenteFalhaSemCriarArquivoEmDev) {
    gravaArquivo(pasta / "temp.BAK", "x");
    const std::string porta = "/dev/velmora-impressora-ausente";
    EXPECT_EQ(motivoDe([&] { copiaParaPorta(pasta / "temp.BAK", porta, "t"); }),
              "porta " + porta + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(porta)));
}

TEST_F(PortaBrutaTest, DispositivoCheioFalhaComOMotivo) {
    gravaArquivo(pasta / "temp.BAK", "linha\r\n");
    EXPECT_EQ(motivoDe([&] { copiaParaPorta(pasta / "temp.BAK", "/dev/full", "t"); }),
              "porta /dev/full: No space left on device");
}

TEST_F(PortaBrutaTest, PastaInexistenteFalhaComOMotivo) {
    gravaArquivo(pasta / "temp.BAK", "x");
    EXPECT_EQ(motivoDe([&] { copiaParaPorta(pasta / "temp.BAK", pasta / "nao/lp0", "t"); }),
              "porta " + pasta / "nao/lp0" + ": No such file or directory");
}

TEST_F(PortaBrutaTest, FifoSemLeitorFalhaDeImediato) {
    gravaArquivo(pasta / "temp.BAK", "x");
    ASSERT_EQ(::mkfifo((pasta / "lp").c_str(), 0600), 0);
    EXPECT_EQ(motivoDe([&] { copiaParaPorta(pasta / "temp.BAK", pasta / "lp", "t"); }),
              "porta " + pasta / "lp" + ": No such device or address");
}

TEST_F(PortaBrutaTest, LeitorQueSomeNoMeioFazACopiaFalhar) {
    gravaArquivo(pasta / "temp.BAK", std::string(8 * 1024 * 1024, 'p'));
    const std::string fifo = pasta / "lp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int pronto[2];
    ASSERT_EQ(::pipe(pronto), 0);
    pid_t leitor = ::fork();
    if (leitor == 0) {
        // Opened for both directions so that its reads wait for data instead of seeing an end.
        int fd = ::open(fifo.c_str(), O_RDWR);
        char c = fd >= 0 ? 'k' : 'e';
        if (::write(pronto[1], &c, 1) != 1) ::_exit(2);
        char pouco[4096];
        ssize_t n = ::read(fd, pouco, sizeof pouco);
        ::_exit(n > 0 ? 0 : 1);
    }
    ::close(pronto[1]);
    char c = 0;
    ASSERT_EQ(::read(pronto[0], &c, 1), 1);
    ::close(pronto[0]);
    ASSERT_EQ(c, 'k');

    std::string motivo = motivoDe([&] { copiaParaPorta(pasta / "temp.BAK", fifo, "t"); });
    int estado = 0;
    ::waitpid(leitor, &estado, 0);
    EXPECT_EQ(motivo, "porta " + fifo + ": Broken pipe");
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
}

}  // namespace
}  // namespace velmora
