#include "AnimacaoIcone.h"

#include "Textos.h"

namespace velmora {

namespace {
constexpr std::int16_t kVerdadeiro = -1;
constexpr std::int16_t kFalso = 0;
}  // namespace

QuadroIcone AnimacaoIcone::tick() {
    if (iContIcone < 3) {
        bMeioAberto = kVerdadeiro;
        ++iContIcone;
        return {"ATIVOABERTO", 1000, textos::kDicaAberto};
    }
    if (bMeioAberto != kFalso) {
        bMeioAberto = kFalso;
        return {"ATIVOMEIOABERTO", 100, ""};
    }
    bMeioAberto = kVerdadeiro;
    iContIcone = 0;
    return {"ATIVOFECHADO", 100, ""};
}

}  // namespace velmora
