#pragma once

#include <cstdint>
#include <optional>

#include "settings/Configuracao.h"
#include "spooler/CodigosImpressora.h"

namespace velmora {

// Everything that lives for the whole run: the settings and the width of the job being printed.
// Owned by whoever runs the spooler (the window, the headless runner) and passed by reference.
struct Valores : Configuracao {
    std::int16_t iMaiorLinha = 0;  // columns the widest line of the last job takes on paper
    // The printer codes every job is read in (VELMORA_CODIGOS); unset: each job's bytes decide.
    std::optional<LinguagemCodigos> codigos;
};

}  // namespace velmora
