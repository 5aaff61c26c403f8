#include "app/Motor.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "app/CodigosAmbiente.h"
#include "platform/posix/DecodificadorIconv.h"
#include "platform/posix/GuardaEstadoPosix.h"
#include "platform/posix/RelogioLocal.h"
#include "platform/posix/SistemaArquivosPosix.h"
#include "platform/qt/ImpressoraQt.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Saida.h"

namespace velmora {

// Declared in the order they depend on each other, so that they are built and torn down safely.
struct Motor::Partes {
    Partes(Valores& valores, RegistroAtividade& registro, Pergunta& pergunta, ChaveTimer& timer)
        : estado(valores.sArquivoIni),
          impressora(ImpressoraQt::pastaPdfPadrao()),
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
