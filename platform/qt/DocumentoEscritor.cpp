#include "DocumentoEscritor.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QFontMetricsF>
#include <QSize>

#include "LinhaImpressa.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Formato.h"

namespace velmora {

namespace {

// As DocumentoPdf: 1200 pixels an inch.
constexpr double kResolucao = 1200;
constexpr double kFolga = 0.01;

Face faceDe(bool negrito, bool italico) {
    if (negrito) return italico ? Face::negritoItalico : Face::negrito;
    return italico ? Face::italico : Face::normal;
}

}  // namespace

DocumentoEscritor::DocumentoEscritor(const QString& titulo, const QPageSize& tamanho, bool paisagem,
                                     const FacesFonte& faces) {
    if (!pasta_.isValid()) {
        throw ErroPlataforma("não foi possível criar a pasta temporária do documento: " +
                             pasta_.errorString().toStdString());
    }
    arquivo_ = pasta_.filePath(QStringLiteral("documento.pdf"));
    const QSize pontos = tamanho.sizePoints();
    larguraPagina_ = paisagem ? pontos.height() : pontos.width();
    alturaPagina_ = paisagem ? pontos.width() : pontos.height();
    larguraUtil_ = larguraPagina_ - 2 * kMargemPontos;
    alturaUtil_ = alturaPagina_ - 2 * kMargemPontos;
    pdf_.emplace(QFile::encodeName(arquivo_).toStdString(), titulo.toStdString(), faces);
}

bool DocumentoEscritor::desenha(std::u32string_view texto, Face face) {
    std::vector<signed char>& conhecidos = conhecidos_[static_cast<std::size_t>(face)];
    return std::all_of(texto.begin(), texto.end(), [&](char32_t c) {
        if (c == U' ') return true;
        // A report uses a few dozen characters: each is looked up once.
        if (c < kConhecidos) {
            if (conhecidos.empty()) conhecidos.assign(kConhecidos, -1);
            signed char& sabido = conhecidos[c];
            if (sabido < 0) sabido = semModelagem(c) && pdf_->temGlifo(face, c);
            return sabido == 1;
        }
        return semModelagem(c) && pdf_->temGlifo(face, c);
    });
}

double DocumentoEscritor::tamanhoNaPagina(double pontos) const {
    const double pixels = std::floor(pontos * kResolucao / 72 + 1e-3);
    return pixels >= 1 ? pixels * 72 / kResolucao : pontos;
}

double DocumentoEscritor::iniciaLinha(const QFont& fonte, qreal entrelinha) {
    const auto novaFolha = [&] {
        pdf_->novaPagina(larguraPagina_, alturaPagina_);
        temPagina_ = true;
        y_ = 0;
    };
    if (!temPagina_) novaFolha();
    for (; quebrasPendentes_ > 0; --quebrasPendentes_) novaFolha();
    const double passo = entrelinha > 0 ? entrelinha : kEntrelinhaCourierEm * fonte.pointSizeF();
    // Half a pixel of slack, as in DocumentoPdf.
    if (y_ > 0 && y_ + passo > alturaUtil_ + 36.0 / kResolucao) novaFolha();
    // Qt's own ascent over height, which puts the base line where DocumentoPdf puts it.
    if (!fonteDaBase_ || *fonteDaBase_ != fonte) {
        QFont naPagina(fonte);
        naPagina.setPixelSize(
            std::max(1, static_cast<int>(std::floor(fonte.pointSizeF() * kResolucao / 72 + 1e-3))));
        const QFontMetricsF medidas(naPagina);
        fonteDaBase_ = fonte;
        proporcaoBase_ = medidas.height() > 0 ? medidas.ascent() / medidas.height() : 0.8;
    }
    const double base = y_ + passo * proporcaoBase_;
    y_ += passo;
    return kMargemPontos + base;
}

bool DocumentoEscritor::imprimeLinha(std::u32string_view linha, const QFont& fonte,
                                     qreal entrelinha) {
    const Face face = faceDe(fonte.bold(), fonte.italic());
    if (!desenha(linha, face)) return false;
    const double pedido = fonte.pointSizeF();
    TrechoPdf t{linha, kMargemPontos, 0, face, tamanhoNaPagina(pedido), 1, fonte.underline()};
    t.escala = pedido / t.tamanho;  // the pitch of the size asked for, as Qt keeps it
    // Cut at the last whole character that fits, so nothing hides beyond the edge.
    if (!linha.empty()) {
        const double avanco = pdf_->largura(t) / static_cast<double>(linha.size());
        const auto cabem = static_cast<std::size_t>(std::floor((larguraUtil_ + kFolga) / avanco));
        if (cabem < linha.size()) t.texto = linha.substr(0, cabem);
    }
    t.y = iniciaLinha(fonte, entrelinha);
    pdf_->escreve(t);
    return true;
}

bool DocumentoEscritor::imprimeTrechos(const std::vector<TrechoImpressao>& trechos,
                                       const QFont& fonte, qreal entrelinha) {
    std::vector<std::u32string> textos;
    textos.reserve(trechos.size());
    for (const TrechoImpressao& t : trechos) {
        textos.push_back(caracteresImpressos(t.texto));
        if (!desenha(textos.back(), faceDe(t.negrito, t.italico))) return false;
    }
    const double y = iniciaLinha(fonte, entrelinha);
    for (std::size_t i = 0; i < trechos.size(); ++i) {
        const TrechoImpressao& t = trechos[i];
        if (textos[i].empty()) continue;
        TrechoPdf r{textos[i],
                    kMargemPontos + t.x,
                    y,
                    faceDe(t.negrito, t.italico),
                    tamanhoNaPagina(t.pontos),
                    1,
                    t.sublinhado};
        const TrechoPdf um{U"0", 0, 0, r.face, r.tamanho, 1, false};
        const double natural = pdf_->largura(um);
        if (natural > 0) r.escala = t.avanco / natural;
        pdf_->escreve(r);
    }
    return true;
}

QString DocumentoEscritor::termina() {
    pdf_->termina();
    return arquivo_;
}

}  // namespace velmora
