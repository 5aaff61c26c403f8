#include "BandejaQt.h"

#include "app/nucleo/DecodificadorBandeja.h"

namespace velmora {

BandejaQt::BandejaQt(const IconesRecurso& icones, QObject* pai) : QObject(pai), icones_(icones) {
    // Queued: "Sair" removes the entry, which destroys the tray's own widget; that must not
    // happen inside that widget's mouse handler, still on the stack below a direct call.
    connect(
        &tray_, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason motivo) {
            emit eventoMouse(mensagemDoMotivo(motivo));
        },
        Qt::QueuedConnection);
}

bool BandejaQt::disponivel() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void BandejaQt::notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) {
    switch (operacao) {
        case OperacaoBandeja::adiciona:
            // A second add fails at the shell: the entry stays as it is.
            if (presente_) return;
            aplica(registro);
            tray_.show();
            presente_ = true;
            return;
        case OperacaoBandeja::modifica:
            if (presente_) aplica(registro);
            return;
        case OperacaoBandeja::remove:
            tray_.hide();
            presente_ = false;
            iconeMostrado_.reset();
            dicaMostrada_.reset();
            return;
    }
}

void BandejaQt::aplica(const RegistroNotificacao& registro) {
    if (iconeMostrado_ != registro.icone) {
        const QIcon icone = icones_.porHandle(registro.icone);
        if (!icone.isNull()) {
            tray_.setIcon(icone);
            iconeMostrado_ = registro.icone;
        }
    }
    const QString dica = QString::fromStdString(registro.dicaVisivel());
    if (dicaMostrada_ != dica) {
        tray_.setToolTip(dica);
        dicaMostrada_ = dica;
    }
}

std::uint32_t BandejaQt::mensagemDoMotivo(QSystemTrayIcon::ActivationReason motivo) {
    switch (motivo) {
        case QSystemTrayIcon::Trigger:
            return mensagens::kEsquerdoSolto;
        case QSystemTrayIcon::Context:
            return mensagens::kDireitoSolto;
        case QSystemTrayIcon::DoubleClick:
            return mensagens::kEsquerdoDuplo;
        case QSystemTrayIcon::MiddleClick:
            return mensagens::kMeioSolto;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

}  // namespace velmora
