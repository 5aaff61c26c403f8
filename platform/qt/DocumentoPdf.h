#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QString>
#include <QTemporaryDir>

#include "platform/qt/PastaTemporaria.h"

namespace velmora {

// Characters of one face side by side, `avanco` apart (device-independent: points).
struct TrechoQt {
    QString texto;
    QFont fonte;
    qreal x = 0;
    qreal avanco = 0;
};

// One document rendered like a line printer into a PDF file of its own temporary folder: lines
// go down the page, a page full of lines continues on the next one, and a requested page break
// only takes effect when a later line is printed. The folder goes away with the object.
class DocumentoPdf {
  public:
    // Pages of `tamanho`, turned sideways when `paisagem`, with a quarter-inch margin.
    // Throws ErroPlataforma when the file cannot be created.
    DocumentoPdf(const QString& titulo, const QPageSize& tamanho, bool paisagem);
    ~DocumentoPdf();

    DocumentoPdf(const DocumentoPdf&) = delete;
    DocumentoPdf& operator=(const DocumentoPdf&) = delete;

    // Printable area, in points, of an upright page of `tamanho`.
    static QSizeF areaUtil(const QPageSize& tamanho);

    // `linha` is drawn as given (see linhaImpressa); what does not fit the width is cut off.
    // `entrelinha` is the distance to the next line in points; 0 keeps the font's own.
    void imprimeLinha(const QString& linha, const QFont& fonte, qreal entrelinha);
    // Runs of one line, each from its x in its own font, its glyphs drawn narrower or wider so
    // that they keep their advance. `fonte` gives the line its height, as in imprimeLinha.
    void imprimeTrechos(const std::vector<TrechoQt>& trechos, const QFont& fonte, qreal entrelinha);
    void novaPagina();

    // Finishes the file and gives its path; throws ErroPlataforma when it was not written whole.
    QString termina();

  private:
    void iniciaPagina();
    // Starts a line in `fonte`: the pending page breaks, a new page when this one is full. Gives
    // the base line's distance from the top margin.
    qreal iniciaLinha(const QFont& fonte, qreal entrelinha);
    void desenhaTrecho(const TrechoQt& trecho, qreal base);
    void usaFonte(const QFont& fonte);
    bool desenhaGlifos(const QString& linha, qreal base, qreal largura);
    void desenhaTexto(const QString& linha, qreal base, qreal largura);
    void descarregaGlifos();
    void conheceAvancos(const QList<quint32>& indices);

    QTemporaryDir pasta_{modeloPastaTemporaria()};
    QString arquivo_;
    std::unique_ptr<QPdfWriter> pdf_;
    QPainter pintor_;
    int quebrasPendentes_ = 0;
    qreal y_ = 0;  // top of the next line, device pixels from the top margin

    // What the current font needs, worked out once and not for every line.
    std::optional<QFont> fonte_;
    qreal entrelinha_ = 0;
    std::optional<QFontMetricsF> medidas_;
    qreal passo_ = 0;
    QRawFont glifos_;             // invalid where lines must go through Qt's text layout
    std::vector<qreal> avancos_;  // by glyph index, -1 until asked for
    qreal escalaAvanco_ = 1;      // from the size drawn to the size asked for
    // Glyphs of the current page not drawn yet, and where they go.
    QList<quint32> tinta_;
    QList<QPointF> posicoes_;
};

}  // namespace velmora
