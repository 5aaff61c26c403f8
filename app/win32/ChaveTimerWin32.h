#pragma once

#include <windows.h>

#include "spooler/ChaveTimer.h"

namespace velmora {

// A window timer (SetTimer) that can be switched on and off; switching it on starts a new full
// period.
class ChaveTimerWin32 : public ChaveTimer {
  public:
    ChaveTimerWin32(UINT_PTR id, UINT intervaloMs) : id_(id), intervalo_(intervaloMs) {}

    // The window whose WM_TIMER it raises; set once the window exists.
    void defineJanela(HWND janela) { janela_ = janela; }

    void liga() override { ligado_ = ::SetTimer(janela_, id_, intervalo_, nullptr) != 0; }
    void desliga() override {
        ::KillTimer(janela_, id_);
        ligado_ = false;
    }
    // Takes effect when the timer is next switched on.
    void defineIntervalo(UINT intervaloMs) { intervalo_ = intervaloMs; }

    UINT_PTR id() const { return id_; }
    bool ligado() const { return ligado_; }
    UINT intervalo() const { return intervalo_; }

  private:
    HWND janela_ = nullptr;
    UINT_PTR id_;
    UINT intervalo_;
    bool ligado_ = false;
};

}  // namespace velmora
