#pragma once

#include <string>
#include <utility>

#include "spooler/Relogio.h"

namespace velmora::teste {

class RelogioFixo : public Relogio {
  public:
    explicit RelogioFixo(std::string texto = "07/12/2026 09:16:31") : texto(std::move(texto)) {}
    std::string dataHora() override { return texto; }

    std::string texto;
};

}  // namespace velmora::teste
