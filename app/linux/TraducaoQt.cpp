#include "app/linux/TraducaoQt.h"

#include <QCoreApplication>
#include <QTranslator>

namespace velmora {

std::optional<QString> instalaTraducaoQt(QCoreApplication& aplicacao, const QString& pasta) {
    auto* tradutor = new QTranslator(&aplicacao);
    if (!tradutor->load(QStringLiteral("qtbase_pt_BR"), pasta)) {
        delete tradutor;
        return QStringLiteral(
                   "tradução do Qt não encontrada (%1/qtbase_pt_BR.qm; instale "
                   "qt6-translations-l10n): os botões e menus padrão ficam em inglês")
            .arg(pasta);
    }
    aplicacao.installTranslator(tradutor);
    return std::nullopt;
}

}  // namespace velmora
