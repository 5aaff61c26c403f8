#pragma once

#include <string>

namespace velmora {

// Where VELMORA.INI lives when no --ini is given: beside the executable, or, when that folder is
// not writable for this user (an installed program), $XDG_CONFIG_HOME/velmora/VELMORA.INI
// (~/.config when XDG_CONFIG_HOME is not set). Needs a QCoreApplication.
std::string caminhoIniPadrao();

// Creates the folder that will hold `sArquivoIni`, so that the first configuration can be saved
// there. Returns false when it cannot be created.
bool preparaPastaIni(const std::string& sArquivoIni);

}  // namespace velmora
