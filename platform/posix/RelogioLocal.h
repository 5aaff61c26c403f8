#pragma once

#include <string>

#include "spooler/Relogio.h"

namespace velmora {

// Local time in Brazil's short form: "dd/mm/yyyy hh:mm:ss", 24-hour.
class RelogioLocal : public Relogio {
  public:
    std::string dataHora() override;
};

}  // namespace velmora
