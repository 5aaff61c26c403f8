#pragma once

#include <memory>
#include <string>

#include "spooler/CamadaImpressao.h"
#include "spooler/ChaveTimer.h"
#include "spooler/CicloImpressao.h"
#include "spooler/Pergunta.h"
#include "spooler/RegistroAtividade.h"
#include "spooler/Valores.h"

namespace velmora {

// The spooler on the real platform (files, code pages, clock, Qt/CUPS printing), shared by the
// window and the headless runner. Needs a QGuiApplication alive. The caller brings the two things
// that differ between them: how a question is answered and what the print timer is.
class Motor {
  public:
    Motor(Pergunta& pergunta, ChaveTimer& timer);
    ~Motor();

    Valores valores;             // the settings and iMaiorLinha, for the whole run
    RegistroAtividade registro;  // the activity log

    // One tick of the watch-folder cycle.
    ResumoCiclo timerImpressao_Timer();

    // The printing layer: installed printers (and "Velmora PDF"), for the configuration form.
    CamadaImpressao& impressora();

  private:
    struct Partes;
    std::unique_ptr<Partes> partes_;
};

}  // namespace velmora
