#pragma once

#include <string>

#include "spooler/GuardaEstado.h"

namespace velmora {

// The spooler's state file, VELMORA.ESTADO beside the settings file, or in `pastaReserva`
// (%LOCALAPPDATA%\Velmora) when that folder is not writable. `sArquivoIni` is the runner's own
// value, read at every use: it is known only once the settings are loaded.
class GuardaEstadoWin32 : public GuardaEstado {
  public:
    GuardaEstadoWin32(const std::string& sArquivoIni, std::string pastaReserva)
        : sArquivoIni_(sArquivoIni), pastaReserva_(std::move(pastaReserva)) {}

    std::string le() override;
    // Replaces the file whole (a new file moved over it), so a crash never leaves half of it.
    void grava(const std::string& texto) override;

    std::string caminho() const;

  private:
    const std::string& sArquivoIni_;
    std::string pastaReserva_;
};

}  // namespace velmora
