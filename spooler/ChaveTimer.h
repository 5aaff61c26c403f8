#pragma once

namespace velmora {

// Switches the print timer; switching it on starts a new full period.
class ChaveTimer {
  public:
    virtual ~ChaveTimer() = default;
    virtual void liga() = 0;
    virtual void desliga() = 0;
};

}  // namespace velmora
