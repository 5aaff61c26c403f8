#pragma once

#include <string>

namespace velmora {

// The settings values that live for the whole run. The two flags count as on only for the exact
// text "1".
struct Configuracao {
    std::string sArquivoIni;  // full path of VELMORA.INI
    std::string sLocal;       // watched folder and pattern, one path
    std::string sImpressora;  // printer device name
    std::string sBackup;      // "1": keep a backup of each printed job
    std::string sParalela;    // "1": raw output onto sPorta
    std::string sPorta;       // port, device, file or queue for raw output
};

inline bool ligado(const std::string& flag) { return flag == "1"; }

}  // namespace velmora
