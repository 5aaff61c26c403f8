#pragma once

#include <string>

namespace velmora {

// Current local date and time as text: day/month/year hours:minutes:seconds.
class Relogio {
  public:
    virtual ~Relogio() = default;
    virtual std::string dataHora() = 0;
};

}  // namespace velmora
