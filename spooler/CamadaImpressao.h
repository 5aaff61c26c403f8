#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Characters side by side in one face, size and pitch, as a line of printer codes lays them out.
struct TrechoImpressao {
    std::u32string texto;
    double x = 0;       // left edge, in points from the left edge of the printable area
    double avanco = 0;  // points from one character to the next (condensed, double width)
    float pontos = 11;  // glyph size; the glyphs are drawn narrower or wider to keep `avanco`
    bool negrito = false;
    bool italico = false;
    bool sublinhado = false;
    std::size_t coluna = 0;  // where `x` falls in columns of the line's normal pitch
};

// The characters of a line's runs as one plain line, each run from its column on, or right
// after the run before it where a narrow pitch brought it closer.
inline std::u32string linhaSimples(const std::vector<TrechoImpressao>& trechos) {
    std::u32string linha;
    for (const TrechoImpressao& t : trechos) {
        if (linha.size() < t.coluna) linha.resize(t.coluna, U' ');
        linha += t.texto;
    }
    return linha;
}

struct InfoImpressora {
    std::string nome;   // device name, as the user picks it
    std::string porta;  // the port it is attached to (on CUPS: the queue name)
};

// The printable area of a sheet, upright, in points (1/72 inch).
struct Papel {
    double largura = 0;
    double altura = 0;
};

// A classic line-printer object. It keeps a current printer (the system default until a job makes
// another one current) and a current font across jobs. A document starts with its first output;
// a new page is only started when something is printed on it. Failures throw ErroPlataforma.
class CamadaImpressao {
  public:
    virtual ~CamadaImpressao() = default;

    // Installed printers in the system's order.
    virtual std::vector<InfoImpressora> impressoras() = 0;
    virtual void tornaAtual(const std::string& nome) = 0;

    // Font list of the current printer, index 0 to quantidadeFontes() - 1.
    virtual int quantidadeFontes() = 0;
    virtual std::string nomeFonte(int indice) = 0;
    virtual void defineFonte(const std::string& nome) = 0;
    virtual void defineTamanho(float pontos) = 0;
    virtual void defineSublinhado(bool ligado) = 0;
    virtual void defineNegrito(bool ligado) = 0;
    virtual void defineItalico(bool ligado) = 0;

    // Printable area of the current printer's paper (its default media).
    virtual Papel papel() = 0;
    // For the documents that start from now on: sheets turned sideways, and the distance from
    // one line to the next in points.
    virtual void definePaisagem(bool paisagem) = 0;
    virtual void defineEntrelinha(double pontos) = 0;

    // Title of the next document in the print queue (the job file's name).
    virtual void defineTitulo(const std::string& titulo) = 0;
    // Prints the text at the current position, then moves to the start of the next line.
    virtual void imprimeLinha(std::u32string_view texto) = 0;
    // Prints the runs of one line, each at its x, in its face and pitch, then moves to the start
    // of the next line. A layer that draws no runs prints them as one plain line.
    virtual void imprimeTrechos(const std::vector<TrechoImpressao>& trechos) {
        imprimeLinha(linhaSimples(trechos));
    }
    virtual void novaPagina() = 0;
    // Finishes the document and hands it over; throws when it was not accepted whole.
    virtual void terminaDocumento() = 0;
    // Drops a document left unfinished by a failure; never throws.
    virtual void abortaDocumento() noexcept = 0;

    // Copies a file's bytes unchanged onto a port: an installed queue (as a raw job) or a file or
    // device path. Throws when the bytes were not all handed over.
    virtual void copiaBruto(const std::string& arquivo, const std::string& porta,
                            const std::string& titulo) = 0;
};

}  // namespace velmora
