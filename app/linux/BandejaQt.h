#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <cstdint>
#include <optional>

#include "app/linux/IconesRecurso.h"
#include "app/nucleo/NotificacaoBandeja.h"

namespace velmora {

// The tray entry on a Qt desktop. The record's tip becomes the tooltip and its icon handle the
// icon; mouse activity comes back as the shell's mouse message numbers.
class BandejaQt : public QObject, public ShellBandeja {
    Q_OBJECT
  public:
    explicit BandejaQt(const IconesRecurso& icones, QObject* pai = nullptr);

    bool disponivel() const override;
    void notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) override;

    QSystemTrayIcon& icone() { return tray_; }
    bool presente() const { return presente_; }

    // The mouse message the shell would send for a Qt activation.
    static std::uint32_t mensagemDoMotivo(QSystemTrayIcon::ActivationReason motivo);

  signals:
    void eventoMouse(quint32 mensagem);

  private:
    void aplica(const RegistroNotificacao& registro);

    const IconesRecurso& icones_;
    QSystemTrayIcon tray_;
    bool presente_ = false;
    // What the entry shows now: the blinking repeats a picture or a tip on most ticks, and the
    // tray host redraws for every call, changed or not.
    std::optional<std::uint32_t> iconeMostrado_;
    std::optional<QString> dicaMostrada_;
};

}  // namespace velmora
