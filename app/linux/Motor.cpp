#include "app/Motor.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "app/Ambiente.h"
#include "platform/posix/DecodificadorIconv.h"
#include "platform/posix/GuardaEstadoPosix.h"
#include "platform/posix/RelogioLocal.h"
#include "platform/posix/SistemaArquivosPosix.h"
#include "platform/qt/ImpressoraQt.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Saida.h"

namespace velmora {

namespace {

// $XDG_STATE_HOME/velmora (~/.local/state/velmora): the state file's folder when the settings
// file's folder is not writable.
std::string pastaEstadoXdg() {
    const std::string xdg = variavel("XDG_STATE_HOME");
    if (!xdg.empty() && xdg[0] == '/') return xdg + "/velmora";
    return variavel("HOME") + "/.local/state/velmora";
}

std::string pastaPdf() {
    const std::string escolhida = variavel("VELMORA_PDF_DIR");
    return escolhida.empty() ? ImpressoraQt::pastaPdfPadrao() : escolhida;
}

}  // namespace

// Declared in the order they depend on each other, so that they are built and torn down safely.
// The environment is read here, once, and handed to the platform's parts.
struct Motor::Partes {
    Partes(Valores& valores, RegistroAtividade& registro, Pergunta& pergunta, ChaveTimer& timer)
        : decodificador(variavel("VELMORA_CODEPAGE")),
          estado(valores.sArquivoIni, pastaEstadoXdg()),
          impressora(pastaPdf()),
          saida{impressora, arquivos, decodificador, relogio},
          ciclo(valores, arquivos, saida, pergunta, timer, registro, &estado) {}

    SistemaArquivosPosix arquivos;
    DecodificadorIconv decodificador;
    RelogioLocal relogio;
    GuardaEstadoPosix estado;  // beside the settings file, so every mode shares it
    ImpressoraQt impressora;
    DispositivosSaida saida;
    CicloImpressao ciclo;
};

Motor::Motor(Pergunta& pergunta, ChaveTimer& timer)
    : partes_(std::make_unique<Partes>(valores, registro, pergunta, timer)) {
    valores.codigos = codigosDoAmbiente();
}

Motor::~Motor() = default;

ResumoCiclo Motor::timerImpressao_Timer() { return partes_->ciclo.timerImpressao_Timer(); }

CamadaImpressao& Motor::impressora() { return partes_->impressora; }

}  // namespace velmora
