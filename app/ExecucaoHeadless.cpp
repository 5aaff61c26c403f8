#include "app/ExecucaoHeadless.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/ChaveTimerQt.h"
#include "app/Motor.h"
#include "settings/Velmora_INI.h"

namespace velmora {

namespace {

// Local time with its UTC offset, e.g. 2026-12-08T09:16:31-03:00.
std::string carimbo() {
    const std::time_t agora = std::time(nullptr);
    std::tm local{};
    localtime_r(&agora, &local);
    char data[32];
    std::strftime(data, sizeof data, "%Y-%m-%dT%H:%M:%S", &local);
    long desvio = local.tm_gmtoff / 60;
    const char sinal = desvio < 0 ? '-' : '+';
    if (desvio < 0) desvio = -desvio;
    char fuso[32];
    std::snprintf(fuso, sizeof fuso, "%c%02ld:%02ld", sinal, desvio / 60 % 100, desvio % 60);
    return std::string(data) + fuso;
}

// One line per message even when a file name holds a line break.
void escreveLinha(const std::string& texto) {
    std::string linha = carimbo() + " " + texto;
    for (char& c : linha)
        if (c == '\n' || c == '\r') c = '?';
    linha += '\n';
    // A closed or broken stdout must not stop the printing: errors are ignored here.
    std::fwrite(linha.data(), 1, linha.size(), stdout);
    std::fflush(stdout);
}

void escreveErro(const std::string& texto) {
    const std::string linha = "velmora: " + texto + "\n";
    std::fwrite(linha.data(), 1, linha.size(), stderr);
    std::fflush(stderr);
}

// Nobody is there to answer: the question is shown and answered No, so that a job that cannot be
// read is left for a later tick instead of blocking the run.
struct PerguntaSemUsuario : Pergunta {
    bool sim(const std::string& mensagem) override {
        escreveLinha(mensagem + " Não");
        return false;
    }
};

// --once has no timer; the cycle's switching only needs somewhere to go.
struct ChaveSemTimer : ChaveTimer {
    void liga() override {}
    void desliga() override {}
};

// Why the settings file cannot be used, or empty when it can be read. LerIni would create a
// missing file, which must not happen here.
std::string problemaArquivoIni(const std::string& caminho) {
    std::error_code erro;
    const auto estado = std::filesystem::status(caminho, erro);
    if (estado.type() == std::filesystem::file_type::not_found) return "arquivo não encontrado";
    if (erro) return erro.message();
    if (std::filesystem::is_directory(estado)) return "é uma pasta, não um arquivo";
    return {};
}

// Reads the settings once for the whole run. A file without LOCAL would leave the run watching
// nothing forever, so it is refused like an unreadable one.
bool carregaConfiguracao(Valores& valores, const std::string& sArquivoIni) {
    valores.sArquivoIni = sArquivoIni;
    std::string problema;
    try {
        LerIni(valores, sArquivoIni);
        if (valores.sLocal.empty()) problema = "LOCAL vazio, nenhuma pasta a vigiar";
    } catch (const ErroIni& e) {
        problema = e.what();
    }
    if (problema.empty()) return true;
    escreveErro("arquivo de configuração " + sArquivoIni + ": " + problema);
    return false;
}

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

int rodaUmaVez(const std::string& sArquivoIni, PerguntaSemUsuario& pergunta) {
    ChaveSemTimer chave;
    Motor motor(pergunta, chave);
    motor.registro.aoRegistrar = escreveLinha;
    if (!carregaConfiguracao(motor.valores, sArquivoIni)) return 2;
    const ResumoCiclo resumo = motor.timerImpressao_Timer();
    escreveLinha("Ciclo concluído: " + std::to_string(resumo.impressos) + " impresso(s), " +
                 std::to_string(resumo.falhas) + " falha(s)");
    return resumo.falhas == 0 ? 0 : 1;
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
    const std::string problema = problemaArquivoIni(sArquivoIni);
    if (!problema.empty()) {
        escreveErro("arquivo de configuração " + sArquivoIni + ": " + problema);
        return 2;
    }
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
