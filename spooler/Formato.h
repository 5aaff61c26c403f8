#pragma once

#include <cstddef>
#include <cstdint>

#include "CamadaImpressao.h"

namespace velmora {

// Courier advances 0.6 of its size for every character.
inline constexpr double kAvancoEm = 0.6;
// Courier's own line height. Nimbus Mono PS asks for 1.25 em, which would leave a page six lines
// short of what reports laid out for Courier expect.
inline constexpr double kEntrelinhaCourierEm = 1.133;
// A quarter inch all round, about a printer's unprintable edge: 132 columns fit at 7 points.
inline constexpr double kMargemPontos = 18;

// How a job goes on the sheet: the font size, the page turned or not, how many columns a line
// holds, and the distance between lines.
struct Formato {
    float pontos = 11;
    bool paisagem = false;
    std::size_t colunas = 0;  // wider lines go on over the following lines
    double entrelinha = 0;    // points from one line to the next
};

// Font size in points for the job's widest line.
float tamanhoFonte(std::int16_t iMaiorLinha);

// The size band of the widest line where it fits the sheet upright; where it does not even at
// 7 points, the sheet turned, then a smaller size down to 5 points. Lines are spaced as
// Courier's own spacing, but never so wide that a page holds fewer than 66 lines (the
// continuous form at 6 lines per inch), nor closer than the font size.
Formato escolheFormato(std::int16_t iMaiorLinha, const Papel& papel);

}  // namespace velmora
