#include "DocumentoPdf.h"

#include <algorithm>

#include <QFile>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>

#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr int kResolucao = 1200;
// A quarter inch, about a printer's unprintable edge: 132 columns fit at 7 points.
constexpr qreal kMargemMm = 6.35;

// Courier's own line height. Nimbus Mono PS asks for 1.25 em, which would leave a page six lines
// short of what reports laid out for Courier expect.
constexpr qreal kLinhaCourierEm = 1.133;

qreal passoDaLinha(const QFont& fonte, const QFontMetricsF& medidas, int resolucao) {
    const qreal em = fonte.pointSizeF() * resolucao / 72.0;
    if (em <= 0) return medidas.lineSpacing();
    return std::min(medidas.lineSpacing(), kLinhaCourierEm * em);
}

std::string texto(const QString& s) { return s.toStdString(); }

}  // namespace

DocumentoPdf::DocumentoPdf(const QString& titulo) {
    if (!pasta_.isValid()) {
        throw ErroPlataforma("não foi possível criar a pasta temporária do documento: " +
                             texto(pasta_.errorString()));
    }
    arquivo_ = pasta_.filePath(QStringLiteral("documento.pdf"));
    pdf_ = std::make_unique<QPdfWriter>(arquivo_);
    pdf_->setResolution(kResolucao);
    pdf_->setTitle(titulo);
    pdf_->setCreator(QStringLiteral("Velmora"));
    pdf_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(kMargemMm, kMargemMm, kMargemMm, kMargemMm),
                                    QPageLayout::Millimeter));
    if (!pintor_.begin(pdf_.get())) {
        throw ErroPlataforma("não foi possível criar o documento " + texto(arquivo_));
    }
}

DocumentoPdf::~DocumentoPdf() {
    if (pintor_.isActive()) pintor_.end();
}

void DocumentoPdf::iniciaPagina() {
    if (!pdf_->newPage()) throw ErroPlataforma("não foi possível iniciar uma nova página");
    y_ = 0;
}

void DocumentoPdf::novaPagina() { ++quebrasPendentes_; }

void DocumentoPdf::imprimeLinha(const QString& linha, const QFont& fonte) {
    for (; quebrasPendentes_ > 0; --quebrasPendentes_) iniciaPagina();

    pintor_.setFont(fonte);
    const QFontMetricsF medidas(pintor_.font(), pdf_.get());
    const qreal passo = passoDaLinha(fonte, medidas, pdf_->resolution());
    const QRectF area(QPointF(0, 0), QSizeF(pintor_.device()->width(), pintor_.device()->height()));
    if (y_ > 0 && y_ + passo > area.height()) iniciaPagina();

    // Cut at the last whole character that fits, so nothing hides beyond the edge.
    qsizetype cabem = linha.size();
    if (medidas.horizontalAdvance(linha) > area.width()) {
        qsizetype baixo = 0, alto = linha.size();
        while (baixo < alto) {
            const qsizetype meio = (baixo + alto + 1) / 2;
            if (medidas.horizontalAdvance(linha.left(meio)) <= area.width())
                baixo = meio;
            else
                alto = meio - 1;
        }
        cabem = baixo;
        if (cabem > 0 && linha.at(cabem - 1).isHighSurrogate()) --cabem;
    }
    const qreal base = y_ + passo * medidas.ascent() / medidas.height();
    if (cabem > 0) pintor_.drawText(QPointF(0, base), linha.left(cabem));
    y_ += passo;
}

QString DocumentoPdf::termina() {
    quebrasPendentes_ = 0;
    if (!pintor_.end())
        throw ErroPlataforma("não foi possível terminar o documento " + texto(arquivo_));
    // A full disk shows as a file cut short, without the end-of-file mark.
    QFile arquivo(arquivo_);
    const bool inteiro = arquivo.open(QIODevice::ReadOnly) && arquivo.size() > 16 &&
                         arquivo.seek(arquivo.size() - 16) && arquivo.read(16).contains("%%EOF");
    if (!inteiro)
        throw ErroPlataforma("o documento " + texto(arquivo_) + " não foi gravado inteiro");
    return arquivo_;
}

}  // namespace velmora
