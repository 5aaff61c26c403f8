#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/pdf/EscritorPdf.h"

namespace velmora {

// The current font of the printing layer, as the PDF writer needs it.
struct FontePdf {
    float pontos = 11;
    bool negrito = false, italico = false, sublinhado = false;
};

// One document of the printer "Velmora PDF" on Windows: A4 pages with 6.35 mm margins, written
// with the project's PDF writer in the faces of Courier New from the Windows fonts folder, into
// `pasta` as <title without its extension>.pdf (-1, -2 ... when taken: nothing is overwritten).
// Throws ErroPlataforma with the reason.
class DocumentoPdfWin32 {
  public:
    DocumentoPdfWin32(std::string pasta, std::string titulo, FacesFonte faces);
    ~DocumentoPdfWin32();  // a document not finished leaves no file

    void imprimeLinha(std::wstring_view linha, const FontePdf& fonte);
    void novaPagina();
    // The path of the PDF written.
    std::string termina();

    // Courier New's four faces in the system's fonts folder.
    static FacesFonte facesDoSistema();

  private:
    std::string pasta_, titulo_, temporario_;
    std::unique_ptr<EscritorPdf> escritor_;
    double y_ = 0;
    int quebras_ = 1;  // the first page starts with the first line
};

}  // namespace velmora
