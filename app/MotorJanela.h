#pragma once

#include <vector>

#include "spooler/CamadaImpressao.h"
#include "spooler/RegistroAtividade.h"
#include "spooler/Valores.h"

namespace velmora {

// What the window uses of the spooler engine (the real one is Motor).
class MotorJanela {
  public:
    virtual ~MotorJanela() = default;
    virtual Valores& valores() = 0;
    virtual RegistroAtividade& registro() = 0;
    // Installed printers in the system's order; throws ErroPlataforma.
    virtual std::vector<InfoImpressora> impressoras() = 0;
    virtual void timerImpressao_Timer() = 0;
};

}  // namespace velmora
