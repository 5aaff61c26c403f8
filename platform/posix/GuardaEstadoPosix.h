#pragma once

#include <string>

#include "spooler/GuardaEstado.h"

namespace velmora {

// The spooler's state file, VELMORA.ESTADO beside the settings file, or
// $XDG_STATE_HOME/velmora/VELMORA.ESTADO (~/.local/state) when that folder is not writable.
// `sArquivoIni` is the runner's own value, read at every use: it is known only once the settings
// are loaded.
class GuardaEstadoPosix : public GuardaEstado {
  public:
    explicit GuardaEstadoPosix(const std::string& sArquivoIni) : sArquivoIni_(sArquivoIni) {}

    std::string le() override;
    // Replaces the file whole (a new file renamed over it), so a crash never leaves half of it.
    void grava(const std::string& texto) override;

    std::string caminho() const;

  private:
    const std::string& sArquivoIni_;
};

}  // namespace velmora
