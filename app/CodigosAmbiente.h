#pragma once

#include <optional>

#include "spooler/CodigosImpressora.h"

namespace velmora {

// VELMORA_CODIGOS, read once for the whole run: unset or empty leaves each job's bytes to decide.
// An unknown name throws ErroPlataforma with the names it takes.
std::optional<LinguagemCodigos> codigosDoAmbiente();

}  // namespace velmora
