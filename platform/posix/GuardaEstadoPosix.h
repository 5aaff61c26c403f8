#pragma once

#include <string>

#include "spooler/GuardaEstado.h"

namespace velmora {

// The spooler's state file, VELMORA.ESTADO beside the settings file, or in a spare folder (the
// program gives $XDG_STATE_HOME/velmora) when that folder is not writable.
// `sArquivoIni` is the runner's own value, read at every use: it is known only once the settings
// are loaded.
class GuardaEstadoPosix : public GuardaEstado {
  public:
    // `pastaReserva` holds the file when the settings file's folder is not writable.
    GuardaEstadoPosix(const std::string& sArquivoIni, const std::string& pastaReserva)
        : sArquivoIni_(sArquivoIni), pastaReserva_(pastaReserva) {}

    std::string le() override;
    // Replaces the file whole (a new file renamed over it), so a crash never leaves half of it.
    void grava(const std::string& texto) override;

    std::string caminho() const;

  private:
    const std::string& sArquivoIni_;
    std::string pastaReserva_;
};

}  // namespace velmora
