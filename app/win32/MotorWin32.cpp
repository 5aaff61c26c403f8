#include "app/Ambiente.h"
#include "app/Motor.h"
#include "platform/win32/DecodificadorWin32.h"
#include "platform/win32/GuardaEstadoWin32.h"
#include "platform/win32/ImpressoraGdi.h"
#include "platform/win32/PastasWin32.h"
#include "platform/win32/RelogioWin32.h"
#include "platform/win32/SistemaArquivosWin32.h"
#include "spooler/Saida.h"

namespace velmora {

namespace {

// %VELMORA_PDF_DIR%, else the user's Documents + "\\Velmora".
std::string pastaPdf() {
    const std::string escolhida = variavel("VELMORA_PDF_DIR");
    return escolhida.empty() ? pastaDocumentos() + "\\Velmora" : escolhida;
}

}  // namespace

// The environment is read here, once, and handed to the platform's parts.
struct Motor::Partes {
    Partes(Valores& valores, RegistroAtividade& registro, Pergunta& pergunta, ChaveTimer& timer)
        : decodificador(variavel("VELMORA_CODEPAGE")),
          estado(valores.sArquivoIni, pastaAppDataLocal() + "\\Velmora"),
          impressora(pastaPdf()),
          saida{impressora, arquivos, decodificador, relogio},
          ciclo(valores, arquivos, saida, pergunta, timer, registro, &estado) {}

    SistemaArquivosWin32 arquivos;
    DecodificadorWin32 decodificador;
    RelogioWin32 relogio;
    GuardaEstadoWin32 estado;  // beside the settings file, so every mode shares it
    ImpressoraGdi impressora;
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
