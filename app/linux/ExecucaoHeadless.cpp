#include "app/linux/ExecucaoHeadless.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include "app/Motor.h"
#include "app/RegistroConsole.h"
#include "app/linux/ChaveTimerQt.h"

namespace velmora {

namespace {

// Self-pipe: the handler only writes a byte; the event loop reads it between ticks, so a job
// being printed is always finished before the program ends.
int tuboSinal[2] = {-1, -1};
volatile sig_atomic_t sinalRecebido = 0;

extern "C" void aoSinal(int sinal) {
    const int errnoSalvo = errno;
    sinalRecebido = sinal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t escrito = write(tuboSinal[1], &byte, 1);
    errno = errnoSalvo;
}

bool instalaSinais() {
    if (pipe2(tuboSinal, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction acao {};
    acao.sa_handler = aoSinal;
    sigemptyset(&acao.sa_mask);
    // A second signal ends the program at once: the way out when a port blocks forever. The job
    // being printed then stays in the folder.
    acao.sa_flags = SA_RESTART | SA_RESETHAND;
    return sigaction(SIGINT, &acao, nullptr) == 0 && sigaction(SIGTERM, &acao, nullptr) == 0;
}

void removeSinais() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    for (int& fd : tuboSinal) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

const char* nomeSinal(int sinal) {
    switch (sinal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        default:
            return "sinal";
    }
}

int rodaSempre(QCoreApplication& app, const std::string& sArquivoIni, int iSegundos,
               PerguntaSemUsuario& pergunta) {
    QTimer timerImpressao;
    timerImpressao.setInterval(iSegundos * 1000);
    ChaveTimerQt chave(timerImpressao);
    Motor motor(pergunta, chave);
    motor.registro.aoRegistrar = escreveLinha;
    if (!carregaConfiguracao(motor.valores, sArquivoIni)) return 2;
    if (!instalaSinais()) {
        escreveErro(std::string("não foi possível tratar SIGINT/SIGTERM: ") + std::strerror(errno));
        removeSinais();
        return 1;
    }

    QSocketNotifier avisoSinal(tuboSinal[0], QSocketNotifier::Read);
    QObject::connect(&avisoSinal, &QSocketNotifier::activated, &app, [&] {
        timerImpressao.stop();
        app.quit();
    });
    QObject::connect(&timerImpressao, &QTimer::timeout, &app, [&] {
        try {
            motor.timerImpressao_Timer();
        } catch (const std::exception& e) {
            // The cycle keeps its failures to itself; anything that still escapes is reported
            // and the next tick tries again.
            escreveErro(std::string("erro no ciclo de impressão: ") + e.what());
        }
    });

    escreveLinha("Velmora iniciado: " + motor.valores.sLocal + " a cada " +
                 std::to_string(iSegundos) + " s (configuração " + sArquivoIni + ")");
    chave.liga();
    app.exec();
    escreveLinha(std::string("Velmora encerrado (") + nomeSinal(sinalRecebido) + ")");
    removeSinais();
    return 0;
}

}  // namespace

int executaHeadless(QCoreApplication& app, const std::string& sArquivoIni, bool bUmaVez,
                    int iSegundos) {
    if (!arquivoIniUsavel(sArquivoIni)) return 2;
    PerguntaSemUsuario pergunta;
    try {
        return bUmaVez ? rodaUmaVez(sArquivoIni, pergunta)
                       : rodaSempre(app, sArquivoIni, iSegundos, pergunta);
    } catch (const std::exception& e) {
        escreveErro(e.what());
        return 1;
    }
}

}  // namespace velmora
