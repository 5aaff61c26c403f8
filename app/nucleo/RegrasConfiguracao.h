#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spooler/CamadaImpressao.h"

namespace velmora {

// The number at the start of a text: blanks skipped, an optional sign, digits with "." as the
// decimal point and an optional exponent. A text that does not start with a number gives 0.
double numeroInicial(std::string_view texto);

// The print period typed in txtTempo: its text after the check and the timer interval.
struct Periodo {
    std::string texto;
    int intervaloMs = 0;
};

// Outside 1 to 60 seconds the text becomes "3"; the interval is its number times 1000, rounded.
Periodo regraPeriodo(const std::string& txtTempo);

// The port of every installed printer whose name equals `sImpressora` regardless of letter case,
// with ":" removed (LPT1: gives LPT1); the last match counts. Nothing when none matches.
std::optional<std::string> portaDaImpressora(const std::vector<InfoImpressora>& impressoras,
                                             const std::string& sImpressora);

// Check box state for a settings flag: 1 when its number is 1, otherwise 0 (an empty text, a text
// that is not a number and any other number show unchecked).
int estadoMarcacao(const std::string& flag);

}  // namespace velmora
