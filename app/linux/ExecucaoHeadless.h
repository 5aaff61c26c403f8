#pragma once

#include <string>

class QCoreApplication;

namespace velmora {

// The spooler without window or tray: --once runs one tick, --headless one tick every
// `iSegundos` until SIGINT or SIGTERM. The log goes to stdout, time-stamped. Returns the exit
// status: 0 done (--once: every job found was output), 1 a job failed (--once), 2 the settings
// file is missing or unusable. Needs a QGuiApplication alive (printing renders through QPainter).
int executaHeadless(QCoreApplication& app, const std::string& sArquivoIni, bool bUmaVez,
                    int iSegundos);

}  // namespace velmora
