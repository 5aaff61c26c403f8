#pragma once

#include <optional>
#include <string>

#include "spooler/CodigosImpressora.h"

namespace velmora {

// The environment is read here, once, where the engine is built, and handed to the parts that
// need it; no platform class reads it on its own.

// The variable's value, or empty when it is not set.
std::string variavel(const char* nome);

// VELMORA_CODIGOS: unset or empty leaves each job's bytes to decide. An unknown name throws
// ErroPlataforma with the names it takes.
std::optional<LinguagemCodigos> codigosDoAmbiente();

}  // namespace velmora
