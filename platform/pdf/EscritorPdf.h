#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ArquivoPdf.h"

namespace velmora {

namespace pdf {
class FonteOpenType;
}

// The four faces of a font family, each the path of an OpenType (CFF or TrueType) file.
// A face is read only when something is written in it.
struct FacesFonte {
    std::string normal, negrito, italico, negritoItalico;
};

enum class Face { normal, negrito, italico, negritoItalico };

// A run of text on one line, all in one face, size and pitch.
struct TrechoPdf {
    std::u32string_view texto;  // no control characters; every character with a glyph
    double x = 0;               // points from the page's left edge to where the run starts
    double y = 0;               // points from the page's top edge down to the base line
    Face face = Face::normal;
    double tamanho = 11;  // points
    double escala = 1;    // horizontal: 10/17.14 condensed, 10/12 elite, 2 double width
    bool sublinhado = false;
};

// Vertical measures of a face, in ems.
struct MedidasFace {
    double ascendente = 0;   // above the base line
    double descendente = 0;  // below it, negative
};

// Writes a PDF of fixed-pitch text, page by page, into a file: one text object per run, glyphs
// by their number in the embedded font (Identity-H) with a map back to Unicode, so the text
// stays searchable. Only pages in progress are held in memory. Failures of the file or of a
// font throw ErroPlataforma with the path and the reason.
class EscritorPdf {
  public:
    // Creates the file. `titulo` is UTF-8.
    EscritorPdf(const std::string& caminho, std::string_view titulo, FacesFonte faces);
    ~EscritorPdf();
    EscritorPdf(const EscritorPdf&) = delete;
    EscritorPdf& operator=(const EscritorPdf&) = delete;

    // Whether `face` draws `c` with a glyph of its own. A line with a character that has none
    // must go elsewhere (a layout with fallback fonts): this writer never draws .notdef.
    bool temGlifo(Face face, char32_t c);
    MedidasFace medidas(Face face);
    // The advance of a run in points, its pitch and size included.
    double largura(const TrechoPdf& trecho);

    // Ends the page in progress, if any, and starts one of this size in points (A4 portrait is
    // 595.28 × 841.89; landscape swaps them).
    void novaPagina(double largura, double altura);
    // Draws a run on the current page; a character without a glyph throws ErroPlataforma and
    // draws nothing. Blanks at either end leave no ink.
    void escreve(const TrechoPdf& trecho);
    // Writes the fonts (each embedded once), the page tree and the cross-reference table, and
    // closes the file. A document without pages gets one blank A4 page. Until this returns the
    // file is no PDF: a writer destroyed before leaves it cut short for the caller to delete.
    void termina();

  private:
    struct FaceUsada;
    FaceUsada& face(Face face);
    void terminaPagina();

    pdf::ArquivoPdf arquivo_;
    FacesFonte caminhos_;
    std::array<std::unique_ptr<FaceUsada>, 4> faces_;
    int catalogo_, arvore_, info_, recursos_;
    std::vector<int> paginas_;

    bool paginaAberta_ = false;
    double largura_ = 0, altura_ = 0;
    std::string conteudo_;    // of the page in progress
    std::string comprimido_;  // reused from page to page
    int fonteAtual_ = -1;     // what the page's content last set
    double tamanhoAtual_ = 0, escalaAtual_ = 1;
};

}  // namespace velmora
