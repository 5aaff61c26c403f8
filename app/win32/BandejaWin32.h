#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "app/nucleo/NotificacaoBandeja.h"

namespace velmora {

// The record as the shell of this platform takes it: the wide record in its first layout, whose
// size is that of the 64-bit build's own (168 bytes).
NOTIFYICONDATAW paraNotifyIconData(const RegistroNotificacao& registro);

// Window and icon handles in the record's 32-bit fields and back.
std::uint32_t handle32(const void* handle);
HWND janelaDe(std::uint32_t valor);
HICON iconeDe(std::uint32_t valor);

// The notification area through Shell_NotifyIconW.
class BandejaWin32 : public ShellBandeja {
  public:
    bool disponivel() const override;
    void notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) override;
};

}  // namespace velmora
