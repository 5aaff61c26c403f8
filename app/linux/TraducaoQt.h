#pragma once

#include <QLibraryInfo>
#include <QString>
#include <optional>

class QCoreApplication;

namespace velmora {

// Qt's own texts (the question's buttons, the text fields' context menu...) in Brazilian
// Portuguese, the program's language whatever the system's. When the translation cannot be
// loaded the program goes on with Qt's English texts; the reason is returned.
std::optional<QString> instalaTraducaoQt(
    QCoreApplication& aplicacao,
    const QString& pasta = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace velmora
