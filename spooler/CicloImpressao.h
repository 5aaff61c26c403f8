#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "ChaveTimer.h"
#include "Pergunta.h"
#include "RegistroAtividade.h"
#include "Saida.h"
#include "SistemaArquivos.h"
#include "Valores.h"

namespace velmora {

// What one tick did, for the headless runner's exit status.
struct ResumoCiclo {
    int impressos = 0;  // jobs output whole
    int falhas = 0;     // jobs not output (left in place) or not removed after printing
};

// The watch-folder cycle: each tick takes every matching job of the folder, reads, prints, then
// renames or deletes it, and logs. A job is removed only after its whole output was handed over;
// no file is handled twice in one tick.
class CicloImpressao {
  public:
    CicloImpressao(Valores& valores, SistemaArquivos& arquivos, DispositivosSaida& saida,
                   Pergunta& pergunta, ChaveTimer& timer, RegistroAtividade& registro);

    ResumoCiclo timerImpressao_Timer();

  private:
    Valores& valores_;
    SistemaArquivos& arquivos_;
    DispositivosSaida& saida_;
    Pergunta& pergunta_;
    ChaveTimer& timer_;
    RegistroAtividade& registro_;
    // A printed job that could not be removed, with the size and time it had then: not printed
    // again while it stays unchanged. Its lock is kept (up to a limit) so that another spooler on
    // the folder does not print it either.
    struct NaoRemovido {
        InfoArquivo info;
        std::unique_ptr<TravaArquivo> trava;
    };
    std::map<std::string, NaoRemovido> naoRemovidos_;
};

}  // namespace velmora
