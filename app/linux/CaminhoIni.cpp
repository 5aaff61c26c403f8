#include "app/CaminhoIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

std::string caminhoIniPadrao() {
    const QString pasta = QCoreApplication::applicationDirPath();
    if (QFileInfo(pasta).isWritable()) return (pasta + "/VELMORA.INI").toStdString();
    // Qt already applies the XDG rules (relative XDG_CONFIG_HOME ignored, ~/.config default).
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (config + "/velmora/VELMORA.INI").toStdString();
}

bool preparaPastaIni(const std::string& sArquivoIni) {
    return QFileInfo(QString::fromStdString(sArquivoIni)).dir().mkpath(".");
}

}  // namespace velmora
