#pragma once

#include <string>

class QApplication;

namespace velmora {

// Runs the tray application (the window FrmVelmora) until the user ends it; returns the exit
// status. `sArquivoIni` is the settings file's full path.
int executaModoBandeja(QApplication& app, const std::string& sArquivoIni);

}  // namespace velmora
