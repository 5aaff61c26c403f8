#include "platform/qt/PastaTemporaria.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QRegularExpression>

namespace velmora {

namespace {

bool processoVivo(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

void removeSobrasDeMortos(const QDir& temporaria) {
    static const QRegularExpression nome(QStringLiteral("^velmora-(\\d+)-[A-Za-z0-9]{6}$"));
    const QStringList pastas =
        temporaria.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& pasta : pastas) {
        const QRegularExpressionMatch achado = nome.match(pasta);
        if (!achado.hasMatch()) continue;
        bool ok = false;
        const auto pid = static_cast<pid_t>(achado.captured(1).toLongLong(&ok));
        if (!ok || pid <= 0 || pid == ::getpid() || processoVivo(pid)) continue;
        const QString caminho = temporaria.filePath(pasta);
        struct stat st {};
        // Only our user's own folders, never one reached through a link.
        if (::lstat(QFile::encodeName(caminho).constData(), &st) != 0) continue;
        if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
        QDir(caminho).removeRecursively();
    }
}

}  // namespace

QString modeloPastaTemporaria() {
    static const QString modelo = [] {
        const QDir temporaria(QDir::tempPath());
        removeSobrasDeMortos(temporaria);
        return temporaria.filePath(QStringLiteral("velmora-%1-XXXXXX").arg(::getpid()));
    }();
    return modelo;
}

}  // namespace velmora
