#pragma once

#include <string>
#include <vector>

#include "spooler/ChaveTimer.h"

namespace velmora::teste {

// Records "liga" and "desliga" into a trace that a test may share with other fakes, so that the
// order of timer switches and log lines can be checked together.
class TimerGravador : public ChaveTimer {
  public:
    explicit TimerGravador(std::vector<std::string>& diario) : diario_(diario) {}

    void liga() override { diario_.push_back("liga"); }
    void desliga() override { diario_.push_back("desliga"); }

  private:
    std::vector<std::string>& diario_;
};

}  // namespace velmora::teste
