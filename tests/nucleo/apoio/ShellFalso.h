#pragma once

// The desktop's tray, recording every call the window makes to it.

#include <utility>
#include <vector>

#include "app/nucleo/NotificacaoBandeja.h"

namespace velmora::teste {

class ShellFalso : public ShellBandeja {
  public:
    bool disponivel() const override { return temBandeja; }
    void notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) override {
        chamadas.emplace_back(operacao, registro);
        if (operacao == OperacaoBandeja::adiciona) presente = true;
        if (operacao == OperacaoBandeja::remove) presente = false;
    }

    bool temBandeja = true;
    bool presente = false;
    std::vector<std::pair<OperacaoBandeja, RegistroNotificacao>> chamadas;
};

}  // namespace velmora::teste
