#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spooler/CodigosImpressora.h"

namespace velmora {

// The printed line being built: character cells placed by x, struck over as on paper.
class MontagemLinha {
  public:
    // What a character is printed with; kept once per distinct attributes.
    struct Marca {
        std::uint32_t estilo = 0;  // from estilo()
        int largura = 0;
        std::uint16_t codigo = 0;  // index into the code pages given to entrega()
        std::uint8_t conjunto = 0;
    };

    std::uint32_t estilo(const Atributos& atributos);

    // Prints one character (its bytes) at x. On a cell already printed: the same character
    // again is bold, an underscore underlines (a blank too), a blank never erases, any other
    // one replaces.
    void poe(int x, std::string_view caractere, const Marca& marca);
    bool vazia() const { return celulas_.empty(); }
    void limpa() { celulas_.clear(); }

    // Puts the runs and the printed width into `linha` and starts an empty line.
    void entrega(Linha& linha, const std::vector<std::string>& codigos);

  private:
    struct Celula {
        int x = 0;
        Marca marca;
        std::array<char, 4> bytes{};
        std::uint8_t n = 0;

        std::string_view texto() const { return {bytes.data(), n}; }
        bool branco() const { return n == 1 && bytes[0] == ' '; }
    };

    void sobrepoe(Celula& abaixo, const Celula& nova);
    std::uint32_t comMarca(std::uint32_t base, bool negrito, bool sublinhado);

    std::vector<Celula> celulas_;  // in order of x
    std::vector<Atributos> estilos_;
};

}  // namespace velmora
