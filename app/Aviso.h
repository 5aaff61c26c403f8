#pragma once

#include <string>

namespace velmora {

// A warning a person must see (a settings file that cannot be read or written).
class Aviso {
  public:
    virtual ~Aviso() = default;
    virtual void mostra(const std::string& texto) = 0;
};

}  // namespace velmora
