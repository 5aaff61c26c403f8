#pragma once

#include <cstdint>
#include <string>

#include "RegistroNotificacao.h"

namespace velmora {

enum class OperacaoBandeja { adiciona = 0, modifica = 1, remove = 2 };

// The desktop's notification area. Its outcome is never looked at: an add while the entry exists,
// or a modify or remove without one, simply changes nothing.
class ShellBandeja {
  public:
    virtual ~ShellBandeja() = default;
    // False when the desktop has no tray at all (the window must then stay reachable).
    virtual bool disponivel() const = 0;
    virtual void notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) = 0;
};

// Handles that the record takes from the window at every fill.
class FonteRegistro {
  public:
    virtual ~FonteRegistro() = default;
    virtual std::uint32_t janelaPictIconeBandeja() const = 0;
    virtual std::uint32_t iconeAtual() const = 0;
};

// The program's one tray entry and the one record kept for it for the whole run.
class NotificacaoBandeja {
  public:
    NotificacaoBandeja(ShellBandeja& shell, const FonteRegistro& fonte);

    // acao 0 adds the entry, 1 modifies it; any other value only refills the record.
    void IconeBandeja(const std::int16_t& acao, const std::string& dica);

    // Removes the entry: refills size, window and id; the rest keeps the last fill.
    void remove();

    const RegistroNotificacao& registro() const { return registro_; }

  private:
    ShellBandeja& shell_;
    const FonteRegistro& fonte_;
    RegistroNotificacao registro_;
};

}  // namespace velmora
