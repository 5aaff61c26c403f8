#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "spooler/Decodificador.h"

namespace velmora {

// Job bytes to characters through MultiByteToWideChar. The code page is the one the runner read
// from VELMORA_CODEPAGE when it gave one; otherwise UTF-8 for a job that is valid UTF-8 and
// Windows-1252 for one that is not.
class DecodificadorWin32 : public Decodificador {
  public:
    // Throws ErroPlataforma when `codigoFixo` (non-empty) names no installed code page.
    explicit DecodificadorWin32(const std::string& codigoFixo = {});

    std::string escolhe(std::string_view jobInteiro) const override;
    std::u32string decodifica(std::string_view bytes, const std::string& codigo) const override;

  private:
    std::string codigoFixo_;
};

// A code page by number ("850") or by the names the Linux build takes ("CP850", "IBM437",
// "WINDOWS-1252", "ISO-8859-1", "UTF-8"), also "ACP" and "OEMCP" for the system's two; 0 when
// Windows has no such code page installed.
UINT codigoPagina(const std::string& nome);

}  // namespace velmora
