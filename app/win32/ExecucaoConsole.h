#pragma once

#include <string>

namespace velmora {

// The spooler in a console window: --once runs one tick, --headless one tick every `iSegundos`
// until Ctrl+C or Ctrl+Break, which end it between jobs. The log goes to stdout, time-stamped.
// Returns the exit status: 0 done (--once: every job found was output), 1 a job failed
// (--once), 2 the settings file is missing or unusable.
int executaConsole(const std::string& sArquivoIni, bool bUmaVez, int iSegundos);

}  // namespace velmora
