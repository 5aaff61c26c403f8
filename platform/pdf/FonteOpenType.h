#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::pdf {

// One face read from an OpenType or TrueType file: what a PDF needs to draw its glyphs by
// number and to embed it. Measures are in thousandths of an em.
class FonteOpenType {
  public:
    // Reads the whole file; throws ErroPlataforma naming the file when it cannot be read or is
    // not a font this reader knows (a collection, no Unicode cmap).
    explicit FonteOpenType(const std::string& caminho);

    // The glyph of a character; 0 (.notdef) when the face has none.
    std::uint16_t glifo(char32_t c) const {
        if (c < 0x10000) return bmp_[c];
        return glifoAlem(c);
    }
    int avanco(std::uint16_t glifo) const {
        return avancos_.empty() ? 0
                                : avancos_[glifo < avancos_.size() ? glifo : avancos_.size() - 1];
    }

    const std::string& caminho() const { return caminho_; }
    const std::string& bytes() const { return bytes_; }
    bool cff() const { return cff_; }  // outlines in a CFF table ('OTTO'), not glyf
    std::size_t quantidadeGlifos() const { return avancos_.size(); }
    const std::string& nomePostScript() const { return nome_; }

    int ascendente = 800, descendente = -200, alturaMaiusculas = 700;
    int caixa[4] = {0, -200, 1000, 800};
    double anguloItalico = 0;
    int posicaoSublinhado = -100, espessuraSublinhado = 50;
    bool italico = false, negrito = false, fixo = false;

  private:
    struct Grupo {
        char32_t primeiro, ultimo;
        std::uint32_t glifo;
    };
    std::uint16_t glifoAlem(char32_t c) const;
    void leCmap(std::size_t tabela, std::size_t tamanho);

    std::string caminho_;
    std::string bytes_;
    bool cff_ = false;
    std::string nome_;
    std::vector<std::uint16_t> bmp_ = std::vector<std::uint16_t>(0x10000, 0);
    std::vector<Grupo> alem_;  // beyond the BMP, sorted
    std::vector<int> avancos_;
};

}  // namespace velmora::pdf
