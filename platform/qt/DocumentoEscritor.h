#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include <QFont>
#include <QPageSize>
#include <QString>
#include <QTemporaryDir>

#include "platform/pdf/EscritorPdf.h"
#include "platform/qt/PastaTemporaria.h"
#include "spooler/CamadaImpressao.h"

namespace velmora {

// A document of fixed-pitch lines written by the PDF writer, laid out as DocumentoPdf lays out
// its lines (same page, margins, pitch and base line), into a PDF file of its own temporary
// folder. A line with a character the faces cannot draw by themselves is refused untouched, for
// the caller to take the document on in Qt.
class DocumentoEscritor {
  public:
    // Throws ErroPlataforma when the file cannot be created.
    DocumentoEscritor(const QString& titulo, const QPageSize& tamanho, bool paisagem,
                      const FacesFonte& faces);

    // False, with nothing drawn, when the line needs Qt's layout. `linha` has no control
    // characters and no tabs.
    bool imprimeLinha(std::u32string_view linha, const QFont& fonte, qreal entrelinha);
    bool imprimeTrechos(const std::vector<TrechoImpressao>& trechos, const QFont& fonte,
                        qreal entrelinha);
    void novaPagina() { ++quebrasPendentes_; }

    // Finishes the file and gives its path.
    QString termina();

  private:
    bool desenha(std::u32string_view texto, Face face);
    // The glyph size Qt draws for `pontos` (whole pixels of 1/1200 inch), and the base line of
    // the line that starts now.
    double tamanhoNaPagina(double pontos) const;
    double iniciaLinha(const QFont& fonte, qreal entrelinha);

    QTemporaryDir pasta_{modeloPastaTemporaria()};
    QString arquivo_;
    std::optional<EscritorPdf> pdf_;
    double larguraPagina_ = 0, alturaPagina_ = 0;
    double larguraUtil_ = 0, alturaUtil_ = 0;
    bool temPagina_ = false;
    int quebrasPendentes_ = 0;
    double y_ = 0;  // top of the next line, points from the top margin
    // By face and character below kConhecidos: 1 drawn by the writer, 0 not, -1 not asked yet.
    static constexpr char32_t kConhecidos = 0x2600;
    std::array<std::vector<signed char>, 4> conhecidos_;
    std::optional<QFont> fonteDaBase_;
    double proporcaoBase_ = 0;
};

}  // namespace velmora
