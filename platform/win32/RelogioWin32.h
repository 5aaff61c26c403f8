#pragma once

#include "spooler/Relogio.h"

namespace velmora {

// The user's short date, a blank and the time, in the system's own formats.
class RelogioWin32 : public Relogio {
  public:
    std::string dataHora() override;
};

}  // namespace velmora
