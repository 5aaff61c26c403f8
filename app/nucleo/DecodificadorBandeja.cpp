#include "DecodificadorBandeja.h"

#include <cmath>
#include <cstdint>

namespace velmora {

void DecodificadorBandeja::trataEvento(std::uint32_t mensagem, AcoesBandeja& acoes) {
    ultimaMensagem = mensagem;
    if (bOcupado != 0) return;
    bOcupado = -1;
    // The flag must drop even when an action throws, or the tray would stay deaf for good.
    struct Libera {
        std::int16_t& flag;
        ~Libera() { flag = 0; }
    } libera{bOcupado};
    if (mensagem == mensagens::kEsquerdoSolto) {
        acoes.mostraJanela();
    } else if (mensagem == mensagens::kDireitoSolto) {
        acoes.mostraMenu();
    }
}

std::uint32_t DecodificadorBandeja::mensagemDeX(double xTwips, double twipsPorPixel) {
    // nearbyint keeps the default rounding mode: ties go to the even number.
    const double mensagem = std::nearbyint(xTwips / twipsPorPixel);
    // Nothing the shell sends lies outside 32 bits; such an X decodes to a message that does
    // nothing.
    if (!(mensagem >= INT32_MIN && mensagem <= INT32_MAX)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(mensagem));
}

}  // namespace velmora
