#pragma once

#include <map>
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
    // Printed jobs that could not be removed, with the size and time they had then: not printed
    // again while they stay unchanged.
    std::map<std::string, InfoArquivo> naoRemovidos_;
};

}  // namespace velmora
