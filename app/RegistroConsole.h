#pragma once

#include <string>

#include "settings/Configuracao.h"
#include "spooler/ChaveTimer.h"
#include "spooler/Pergunta.h"

namespace velmora {

// What --once and --headless share on every system: the time-stamped log on stdout, errors on
// stderr, the settings file checked and read once.

// Local time with its UTC offset, e.g. 2026-12-08T09:16:31-03:00.
std::string carimbo();

// One time-stamped line on stdout, even when a file name holds a line break.
void escreveLinha(const std::string& texto);

// "velmora: texto" on stderr.
void escreveErro(const std::string& texto);

// Nobody is there to answer: the question is shown and answered No, so that a job that cannot be
// read is left for a later tick instead of blocking the run.
struct PerguntaSemUsuario : Pergunta {
    bool sim(const std::string& mensagem) override;
};

// --once has no timer; the cycle's switching only needs somewhere to go.
struct ChaveSemTimer : ChaveTimer {
    void liga() override {}
    void desliga() override {}
};

// Whether the settings file can be read; says why on stderr when not. LerIni would create a
// missing file, which must not happen here.
bool arquivoIniUsavel(const std::string& caminho);

// Reads the settings once for the whole run; false (and the reason on stderr) when the file is
// unusable or has no LOCAL, which would leave the run watching nothing forever.
bool carregaConfiguracao(Configuracao& valores, const std::string& sArquivoIni);

// --once: one tick of the cycle and a summary line. 0 when every job found was output, 1 when one
// failed, 2 when the settings file cannot be used.
int rodaUmaVez(const std::string& sArquivoIni, PerguntaSemUsuario& pergunta);

}  // namespace velmora
