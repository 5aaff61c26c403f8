#include "DocumentoPdf.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>

#include "LinhaImpressa.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Formato.h"

namespace velmora {

namespace {

constexpr int kResolucao = 1200;
constexpr qreal kMargemMm = kMargemPontos * 25.4 / 72;

QPageLayout layout(const QPageSize& tamanho, bool paisagem) {
    return QPageLayout(tamanho, paisagem ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(kMargemMm, kMargemMm, kMargemMm, kMargemMm),
                       QPageLayout::Millimeter);
}

qreal passoDaLinha(const QFont& fonte, const QFontMetricsF& medidas, int resolucao,
                   qreal entrelinha) {
    if (entrelinha > 0) return entrelinha * resolucao / 72.0;
    const qreal em = fonte.pointSizeF() * resolucao / 72.0;
    if (em <= 0) return medidas.lineSpacing();
    return std::min(medidas.lineSpacing(), kEntrelinhaCourierEm * em);
}

std::string texto(const QString& s) { return s.toStdString(); }

// What adding up a line's advances may stray by, in device pixels.
constexpr qreal kFolga = 0.01;

}  // namespace

QSizeF DocumentoPdf::areaUtil(const QPageSize& tamanho) {
    // In the painter's own pixels, so that what is said to fit is what the page holds.
    const QRect area = layout(tamanho, false).paintRectPixels(kResolucao);
    return QSizeF(area.width() * 72.0 / kResolucao, area.height() * 72.0 / kResolucao);
}

DocumentoPdf::DocumentoPdf(const QString& titulo, const QPageSize& tamanho, bool paisagem) {
    if (!pasta_.isValid()) {
        throw ErroPlataforma("não foi possível criar a pasta temporária do documento: " +
                             texto(pasta_.errorString()));
    }
    arquivo_ = pasta_.filePath(QStringLiteral("documento.pdf"));
    pdf_ = std::make_unique<QPdfWriter>(arquivo_);
    pdf_->setResolution(kResolucao);
    pdf_->setTitle(titulo);
    pdf_->setCreator(QStringLiteral("Velmora"));
    pdf_->setPageLayout(layout(tamanho, paisagem));
    if (!pintor_.begin(pdf_.get())) {
        throw ErroPlataforma("não foi possível criar o documento " + texto(arquivo_));
    }
}

DocumentoPdf::~DocumentoPdf() {
    if (pintor_.isActive()) pintor_.end();
}

void DocumentoPdf::iniciaPagina() {
    descarregaGlifos();
    if (!pdf_->newPage()) throw ErroPlataforma("não foi possível iniciar uma nova página");
    y_ = 0;
}

void DocumentoPdf::novaPagina() { ++quebrasPendentes_; }

qreal DocumentoPdf::iniciaLinha(const QFont& fonte, qreal entrelinha) {
    for (; quebrasPendentes_ > 0; --quebrasPendentes_) iniciaPagina();

    if (!fonte_ || *fonte_ != fonte || entrelinha != entrelinha_) {
        entrelinha_ = entrelinha;
        usaFonte(fonte);
    }
    // Half a pixel of slack: a pitch worked out to fit a number of lines is not refused the last.
    if (y_ > 0 && y_ + passo_ > pintor_.device()->height() + 0.5) iniciaPagina();
    return y_ + passo_ * medidas_->ascent() / medidas_->height();
}

void DocumentoPdf::imprimeLinha(const QString& linha, const QFont& fonte, qreal entrelinha) {
    const qreal base = iniciaLinha(fonte, entrelinha);
    const qreal largura = pintor_.device()->width();
    if (!desenhaGlifos(linha, base, largura)) desenhaTexto(linha, base, largura);
    y_ += passo_;
}

void DocumentoPdf::imprimeTrechos(const std::vector<TrechoQt>& trechos, const QFont& fonte,
                                  qreal entrelinha) {
    const qreal base = iniciaLinha(fonte, entrelinha);
    for (const TrechoQt& trecho : trechos) desenhaTrecho(trecho, base);
    y_ += passo_;
}

// A dot-matrix printer narrows its glyphs for condensed print and widens them for double width;
// the glyphs are scaled across the line the same way, so each keeps its cell.
void DocumentoPdf::desenhaTrecho(const TrechoQt& trecho, qreal base) {
    if (trecho.texto.isEmpty()) return;
    const qreal pixelsPorPonto = pdf_->resolution() / 72.0;
    QFont naPagina(trecho.fonte);
    const qreal pixels = trecho.fonte.pointSizeF() * pixelsPorPonto;
    if (pixels > 0) naPagina.setPixelSize(std::max(1, static_cast<int>(std::floor(pixels + 1e-3))));
    const qreal natural = QFontMetricsF(naPagina, pdf_.get()).horizontalAdvance(QLatin1Char('0'));
    const qreal escala = natural > 0 ? trecho.avanco * pixelsPorPonto / natural : 1;

    pintor_.save();
    pintor_.setFont(naPagina);
    pintor_.translate(trecho.x * pixelsPorPonto, base);
    pintor_.scale(escala, 1);
    pintor_.drawText(QPointF(0, 0), trecho.texto);
    pintor_.restore();
}

void DocumentoPdf::usaFonte(const QFont& fonte) {
    descarregaGlifos();
    fonte_ = fonte;
    // Qt rounds a size to whole device pixels, which can make a line a hair wider than the width
    // its size was chosen for, and its last character would be cut: rounded down instead, and
    // the glyphs drawn one by one keep the pitch of the size asked for.
    QFont naPagina(fonte);
    const qreal pixels = fonte.pointSizeF() * pdf_->resolution() / 72.0;
    if (pixels > 0) naPagina.setPixelSize(std::max(1, static_cast<int>(std::floor(pixels + 1e-3))));
    pintor_.setFont(naPagina);
    medidas_.emplace(pintor_.font(), pdf_.get());
    passo_ = passoDaLinha(fonte, *medidas_, pdf_->resolution(), entrelinha_);
    // Lines of a proportional font may kern, and lines under a rule need it drawn across them.
    const QFont noPdf(naPagina, pdf_.get());
    const bool riscada = fonte.underline() || fonte.overline() || fonte.strikeOut();
    const bool glifosSoltos = QFontInfo(noPdf).fixedPitch() && !riscada;
    glifos_ = glifosSoltos ? QRawFont::fromFont(noPdf) : QRawFont();
    escalaAvanco_ = glifos_.isValid() && pixels > 0 ? pixels / glifos_.pixelSize() : 1;
    avancos_.clear();
}

// Qt works a glyph's advance out again at every call; a report uses a few dozen glyphs.
void DocumentoPdf::conheceAvancos(const QList<quint32>& indices) {
    QList<quint32> novos;
    for (const quint32 indice : indices) {
        if (indice >= avancos_.size()) avancos_.resize(indice + 1, -1);
        if (avancos_[indice] < 0) {
            avancos_[indice] = 0;  // asked for once, even when it repeats in the line
            novos.append(indice);
        }
    }
    if (novos.isEmpty()) return;
    const QList<QPointF> medidos = glifos_.advancesForGlyphIndexes(novos);
    for (qsizetype i = 0; i < novos.size(); ++i)
        avancos_[novos[i]] = medidos[i].x() * escalaAvanco_;
}

// Qt shapes every line and writes every glyph, blanks included, as a positioned string of its
// own, and compresses it all: the bulk of a report's time. Courier needs no shaping and blanks
// leave no ink, so a line whose characters all have a glyph of their own in the font is drawn
// with the others of its page as one run of non-blank glyphs. Anything else (marks, scripts
// that need shaping, a character only a fallback font has) goes through Qt's text layout.
bool DocumentoPdf::desenhaGlifos(const QString& linha, qreal base, qreal largura) {
    if (!glifos_.isValid()) return false;
    for (const QChar c : linha) {
        if (!semModelagem(c.unicode())) return false;
    }
    const QList<quint32> indices = glifos_.glyphIndexesForString(linha);
    if (indices.size() != linha.size()) return false;
    for (const quint32 indice : indices) {
        if (indice == 0) return false;
    }
    conheceAvancos(indices);

    qreal x = 0;
    // Cut at the last whole character that fits, so nothing hides beyond the edge.
    for (qsizetype i = 0; i < indices.size() && x + avancos_[indices[i]] <= largura + kFolga; ++i) {
        if (linha[i] != u' ') {
            tinta_.append(indices[i]);
            // Whole device pixels (1/1200 inch) write shorter numbers into the page.
            posicoes_.append(QPointF(std::round(x), base));
        }
        x += avancos_[indices[i]];
    }
    return true;
}

void DocumentoPdf::descarregaGlifos() {
    if (tinta_.isEmpty()) return;
    QGlyphRun corrida;
    corrida.setRawFont(glifos_);
    corrida.setGlyphIndexes(tinta_);
    corrida.setPositions(posicoes_);
    pintor_.drawGlyphRun(QPointF(0, 0), corrida);
    tinta_.clear();
    posicoes_.clear();
}

void DocumentoPdf::desenhaTexto(const QString& linha, qreal base, qreal largura) {
    // Cut at the last whole character that fits, so nothing hides beyond the edge.
    qsizetype cabem = linha.size();
    if (medidas_->horizontalAdvance(linha) > largura) {
        qsizetype baixo = 0, alto = linha.size();
        while (baixo < alto) {
            const qsizetype meio = (baixo + alto + 1) / 2;
            if (medidas_->horizontalAdvance(linha.left(meio)) <= largura)
                baixo = meio;
            else
                alto = meio - 1;
        }
        cabem = baixo;
        if (cabem > 0 && linha.at(cabem - 1).isHighSurrogate()) --cabem;
    }
    if (cabem > 0) pintor_.drawText(QPointF(0, base), linha.left(cabem));
}

QString DocumentoPdf::termina() {
    quebrasPendentes_ = 0;
    descarregaGlifos();
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
