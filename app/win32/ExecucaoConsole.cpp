#include "app/win32/ExecucaoConsole.h"

#include <windows.h>

#include <atomic>
#include <exception>

#include "app/Motor.h"
#include "app/RegistroConsole.h"
#include "platform/win32/TextoWin32.h"

namespace velmora {

namespace {

// Set by the console's handler; the loop waits on it between ticks, so a job being printed is
// always finished before the program ends.
HANDLE eventoFim = nullptr;
std::atomic<DWORD> teclaFim{0};

BOOL WINAPI aoControle(DWORD tipo) {
    if (tipo != CTRL_C_EVENT && tipo != CTRL_BREAK_EVENT) return FALSE;
    teclaFim = tipo;
    ::SetEvent(eventoFim);
    return TRUE;
}

// The cycle switches the timer off while a job is handled and on again after it.
struct ChaveEspera : ChaveTimer {
    void liga() override { ligada = true; }
    void desliga() override { ligada = false; }
    bool ligada = false;
};

int rodaSempre(const std::string& sArquivoIni, int iSegundos, PerguntaSemUsuario& pergunta) {
    ChaveEspera chave;
    Motor motor(pergunta, chave);
    motor.registro.aoRegistrar = escreveLinha;
    if (!carregaConfiguracao(motor.valores, sArquivoIni)) return 2;
    eventoFim = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (eventoFim == nullptr || !::SetConsoleCtrlHandler(aoControle, TRUE)) {
        escreveErro("não foi possível tratar Ctrl+C: " + mensagemWin32(::GetLastError()));
        return 1;
    }
    escreveLinha("Velmora iniciado: " + motor.valores.sLocal + " a cada " +
                 std::to_string(iSegundos) + " s (configuração " + sArquivoIni + ")");
    chave.liga();
    for (;;) {
        const DWORD espera = chave.ligada ? static_cast<DWORD>(iSegundos) * 1000 : INFINITE;
        if (::WaitForSingleObject(eventoFim, espera) != WAIT_TIMEOUT) break;
        try {
            motor.timerImpressao_Timer();
        } catch (const std::exception& e) {
            // The cycle keeps its failures to itself; anything that still escapes is reported
            // and the next tick tries again.
            escreveErro(std::string("erro no ciclo de impressão: ") + e.what());
        }
    }
    ::SetConsoleCtrlHandler(aoControle, FALSE);
    escreveLinha(std::string("Velmora encerrado (") +
                 (teclaFim == CTRL_BREAK_EVENT ? "Ctrl+Break" : "Ctrl+C") + ")");
    return 0;
}

}  // namespace

int executaConsole(const std::string& sArquivoIni, bool bUmaVez, int iSegundos) {
    if (!arquivoIniUsavel(sArquivoIni)) return 2;
    PerguntaSemUsuario pergunta;
    try {
        return bUmaVez ? rodaUmaVez(sArquivoIni, pergunta)
                       : rodaSempre(sArquivoIni, iSegundos, pergunta);
    } catch (const std::exception& e) {
        escreveErro(e.what());
        return 1;
    }
}

}  // namespace velmora
