#pragma once

#include <memory>

#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTemporaryDir>

namespace velmora {

// One document rendered like a line printer into a PDF file of its own temporary folder: lines
// go down the page, a page full of lines continues on the next one, and a requested page break
// only takes effect when a later line is printed. The folder goes away with the object.
class DocumentoPdf {
  public:
    // Throws ErroPlataforma when the file cannot be created.
    explicit DocumentoPdf(const QString& titulo);
    ~DocumentoPdf();

    DocumentoPdf(const DocumentoPdf&) = delete;
    DocumentoPdf& operator=(const DocumentoPdf&) = delete;

    // `linha` is drawn as given (see linhaImpressa); what does not fit the width is cut off.
    void imprimeLinha(const QString& linha, const QFont& fonte);
    void novaPagina();

    // Finishes the file and gives its path; throws ErroPlataforma when it was not written whole.
    QString termina();

  private:
    void iniciaPagina();

    QTemporaryDir pasta_;
    QString arquivo_;
    std::unique_ptr<QPdfWriter> pdf_;
    QPainter pintor_;
    int quebrasPendentes_ = 0;
    qreal y_ = 0;  // top of the next line, device pixels from the top margin
};

}  // namespace velmora
