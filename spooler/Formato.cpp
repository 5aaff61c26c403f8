#include "Formato.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr int kLinhasDoFormulario = 66;
constexpr float kMenorDasFaixas = 7;
constexpr float kMenorTamanho = 5;

std::size_t colunasQueCabem(double largura, float pontos) {
    // A hair of slack, so that a size worked out to fit a width is not refused by rounding.
    return static_cast<std::size_t>(std::floor(largura / (kAvancoEm * pontos) + 1e-9));
}

// The largest size, in tenths of a point, at which `colunas` fit `largura`.
float tamanhoQueCabe(double largura, std::size_t colunas) {
    return static_cast<float>(std::floor(largura / (kAvancoEm * colunas) * 10 + 1e-6) / 10);
}

double entrelinha(float pontos, double altura) {
    return std::max<double>(pontos,
                            std::min(kEntrelinhaCourierEm * pontos, altura / kLinhasDoFormulario));
}

}  // namespace

float tamanhoFonte(std::int16_t iMaiorLinha) {
    if (iMaiorLinha <= 80) return 11.0f;
    if (iMaiorLinha <= 100) return 9.0f;
    if (iMaiorLinha <= 110) return 8.0f;
    return kMenorDasFaixas;
}

Formato escolheFormato(std::int16_t iMaiorLinha, const Papel& papel) {
    const std::size_t largura = static_cast<std::size_t>(std::max<std::int16_t>(iMaiorLinha, 1));
    Formato f;
    f.pontos = tamanhoFonte(iMaiorLinha);
    // A small sheet may need less than the band even upright; never below the smallest band.
    if (colunasQueCabem(papel.largura, f.pontos) < largura) {
        f.pontos =
            std::max(kMenorDasFaixas, std::min(f.pontos, tamanhoQueCabe(papel.largura, largura)));
    }
    if (colunasQueCabem(papel.largura, f.pontos) < largura) {
        f.paisagem = true;
        f.pontos =
            std::max(kMenorTamanho, std::min(f.pontos, tamanhoQueCabe(papel.altura, largura)));
    }
    const double larguraUtil = f.paisagem ? papel.altura : papel.largura;
    const double alturaUtil = f.paisagem ? papel.largura : papel.altura;
    f.colunas = std::max<std::size_t>(1, colunasQueCabem(larguraUtil, f.pontos));
    f.entrelinha = entrelinha(f.pontos, alturaUtil);
    return f;
}

}  // namespace velmora
