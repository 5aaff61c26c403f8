#pragma once

#include <vector>

#include "app/Motor.h"
#include "app/MotorJanela.h"

namespace velmora {

// The window's view of the real engine.
class MotorDaJanela : public MotorJanela {
  public:
    MotorDaJanela(Pergunta& pergunta, ChaveTimer& timer) : motor_(pergunta, timer) {}

    Valores& valores() override { return motor_.valores; }
    RegistroAtividade& registro() override { return motor_.registro; }
    std::vector<InfoImpressora> impressoras() override { return motor_.impressora().impressoras(); }
    void timerImpressao_Timer() override { motor_.timerImpressao_Timer(); }

  private:
    Motor motor_;
};

}  // namespace velmora
