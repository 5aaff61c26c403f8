#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// One frame of the blinking eye: which icon, how long until the next tick, the tray tip.
struct QuadroIcone {
    std::string icone;  // resource name: ATIVOABERTO, ATIVOMEIOABERTO or ATIVOFECHADO
    int intervaloMs = 0;
    std::string dica;
};

// The eye stays open for three ticks of a second, then half-closes and closes for 100 ms each.
class AnimacaoIcone {
  public:
    QuadroIcone tick();

    std::int16_t iContIcone = 0;   // open ticks in a row, 0 to 3
    std::int16_t bMeioAberto = 0;  // -1 when the next short frame is the half-open one
};

}  // namespace velmora
