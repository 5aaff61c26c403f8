#pragma once

#include <cstdint>

namespace velmora {

// Mouse message numbers the shell reports for the tray entry.
namespace mensagens {
inline constexpr std::uint32_t kEsquerdoSolto = 0x202;
inline constexpr std::uint32_t kEsquerdoDuplo = 0x203;
inline constexpr std::uint32_t kDireitoSolto = 0x205;
inline constexpr std::uint32_t kMeioSolto = 0x208;
}  // namespace mensagens

// What a tray event can lead to on the window.
class AcoesBandeja {
  public:
    virtual ~AcoesBandeja() = default;
    virtual void mostraJanela() = 0;  // normal state, shown
    virtual void mostraMenu() = 0;    // the tray menu at the mouse; returns when it closes
};

// Turns tray events into window actions. While one is being handled (the menu runs its own loop)
// the events that arrive are dropped.
class DecodificadorBandeja {
  public:
    void trataEvento(std::uint32_t mensagem, AcoesBandeja& acoes);

    // The message number carried as the X of a mouse move, in twips.
    static std::uint32_t mensagemDeX(double xTwips, double twipsPorPixel);

    std::int16_t bOcupado = 0;
    std::uint32_t ultimaMensagem = 0;
};

}  // namespace velmora
