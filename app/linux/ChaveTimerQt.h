#pragma once

#include <QTimer>

#include "spooler/ChaveTimer.h"

namespace velmora {

// The print cycle's switch over the window's timerImpressao.
class ChaveTimerQt : public ChaveTimer {
  public:
    explicit ChaveTimerQt(QTimer& timer) : timer_(timer) {}
    void liga() override { timer_.start(); }  // start() begins a new full period
    void desliga() override { timer_.stop(); }

  private:
    QTimer& timer_;
};

}  // namespace velmora
