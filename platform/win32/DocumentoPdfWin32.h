#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pdf/EscritorPdf.h"
#include "spooler/CamadaImpressao.h"

namespace velmora {

// The current font of the printing layer, as the PDF writer needs it.
struct FontePdf {
    float pontos = 11;
    bool negrito = false, italico = false, sublinhado = false;
};

// One document of the printer "Velmora PDF" on Windows: A4 pages (sideways when `paisagem`) with
// a quarter-inch margin, as on Linux, written with the project's PDF writer in the faces of
// Courier New from the Windows fonts folder, into `pasta` as <title without its extension>.pdf
// (-1, -2 ... when taken: nothing is overwritten). Throws ErroPlataforma with the reason.
class DocumentoPdfWin32 {
  public:
    DocumentoPdfWin32(std::string pasta, std::string titulo, FacesFonte faces, bool paisagem);
    ~DocumentoPdfWin32();  // a document not finished leaves no file

    // Printable area of an upright page.
    static Papel areaUtil();

    // `linha` has no control characters and no tabs. `entrelinha` is the distance to the next
    // line in points; 0 keeps the font's own.
    void imprimeLinha(std::u32string_view linha, const FontePdf& fonte, double entrelinha);
    // Runs of one line, each from its x in its own face, its glyphs drawn narrower or wider to
    // keep their advance; `fonte` gives the line its height, as in imprimeLinha.
    void imprimeTrechos(const std::vector<TrechoImpressao>& trechos, const FontePdf& fonte,
                        double entrelinha);
    void novaPagina();
    // The path of the PDF written.
    std::string termina();

    // Courier New's four faces in the system's fonts folder.
    static FacesFonte facesDoSistema();

  private:
    // Starts a line: pending page breaks, a new page when this one is full. Gives the base line
    // in points from the page's top edge.
    double iniciaLinha(const FontePdf& fonte, double entrelinha);
    // What the face cannot draw shows as "?".
    std::u32string desenhavel(std::u32string_view texto, Face face);

    std::string pasta_, titulo_, temporario_;
    std::unique_ptr<EscritorPdf> escritor_;
    double largura_ = 0, altura_ = 0;
    double y_ = 0;
    int quebras_ = 1;  // the first page starts with the first line
};

}  // namespace velmora
