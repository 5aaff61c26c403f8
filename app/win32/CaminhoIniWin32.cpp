#include "app/CaminhoIni.h"
#include "platform/win32/PastasWin32.h"

namespace velmora {

// Beside velmora.exe, or %APPDATA%\Velmora\VELMORA.INI when that folder is not writable for
// this user (Program Files).
std::string caminhoIniPadrao() {
    const std::string pasta = pastaDoExecutavel();
    if (pastaGravavel(pasta)) return pasta + "\\VELMORA.INI";
    return pastaAppData() + "\\Velmora\\VELMORA.INI";
}

bool preparaPastaIni(const std::string& sArquivoIni) { return criaPastas(pastaDe(sArquivoIni)); }

}  // namespace velmora
