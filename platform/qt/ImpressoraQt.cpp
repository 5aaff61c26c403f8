#include "ImpressoraQt.h"

#include <cmath>
#include <cstdlib>

#include <cups/cups.h>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QStandardPaths>

#include "DocumentoPdf.h"
#include "LinhaImpressa.h"
#include "PastaPdf.h"
#include "platform/posix/FilasCups.h"
#include "platform/posix/PapelLocal.h"
#include "platform/posix/PortaBruta.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

ImpressoraQt::ImpressoraQt(std::string pastaPdf) : pastaPdf_(std::move(pastaPdf)) {
    fonte_.setFamily(QStringLiteral("Courier"));
    // Without any Courier-like font installed this still gives a fixed pitch.
    fonte_.setStyleHint(QFont::TypeWriter);
    fonte_.setFixedPitch(true);
    fonte_.setPointSizeF(11);
}

ImpressoraQt::~ImpressoraQt() { abortaDocumento(); }

std::string ImpressoraQt::pastaPdfPadrao() {
    if (const char* pasta = std::getenv("VELMORA_PDF_DIR"); pasta && *pasta) return pasta;
    QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documentos.isEmpty()) documentos = QDir::homePath() + QStringLiteral("/Documents");
    return QFile::encodeName(documentos + QStringLiteral("/Velmora")).toStdString();
}

std::vector<InfoImpressora> ImpressoraQt::impressoras() {
    std::vector<InfoImpressora> lista = filasCups();
    lista.push_back({kVelmoraPdf, ""});
    return lista;
}

void ImpressoraQt::tornaAtual(const std::string& nome) {
    // An unknown name must not send the next jobs anywhere else: the current printer stays.
    for (const InfoImpressora& impressora : impressoras()) {
        if (impressora.nome == nome) {
            atual_ = nome;
            return;
        }
    }
    throw ErroPlataforma("a impressora \"" + nome + "\" não existe");
}

int ImpressoraQt::quantidadeFontes() {
    familias_ = QFontDatabase::families();
    return static_cast<int>(familias_.size());
}

std::string ImpressoraQt::nomeFonte(int indice) {
    if (familias_.isEmpty()) familias_ = QFontDatabase::families();
    if (indice < 0 || indice >= familias_.size()) {
        throw ErroPlataforma("não há fonte de número " + std::to_string(indice));
    }
    return familias_.at(indice).toStdString();
}

void ImpressoraQt::defineFonte(const std::string& nome) {
    fonte_.setFamily(QString::fromStdString(nome));
}

void ImpressoraQt::defineTamanho(float pontos) {
    if (!std::isfinite(pontos) || pontos <= 0) {
        throw ErroPlataforma("tamanho de fonte inválido: " + std::to_string(pontos));
    }
    fonte_.setPointSizeF(pontos);
}

void ImpressoraQt::defineSublinhado(bool ligado) { fonte_.setUnderline(ligado); }

void ImpressoraQt::defineNegrito(bool ligado) { fonte_.setBold(ligado); }

void ImpressoraQt::defineItalico(bool ligado) { fonte_.setItalic(ligado); }

std::string ImpressoraQt::destino() const { return atual_ ? *atual_ : filaPadraoCups(); }

QPageSize ImpressoraQt::tamanhoPapel(const std::string& destino) const {
    std::optional<TamanhoPapel> papel;
    if (!destino.empty() && destino != kVelmoraPdf) papel = papelDaFila(destino);
    if (!papel) papel = papelDoLocal();
    // A size within a millimetre of a named one (Letter, A4) takes its exact size and name.
    return QPageSize(QSizeF(papel->largura, papel->altura), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

Papel ImpressoraQt::papel() {
    const QSizeF area = DocumentoPdf::areaUtil(tamanhoPapel(destino()));
    return Papel{area.width(), area.height()};
}

void ImpressoraQt::definePaisagem(bool paisagem) { paisagem_ = paisagem; }

void ImpressoraQt::defineEntrelinha(double pontos) {
    if (!std::isfinite(pontos) || pontos < 0) {
        throw ErroPlataforma("entrelinha inválida: " + std::to_string(pontos));
    }
    entrelinha_ = pontos;
}

void ImpressoraQt::defineTitulo(const std::string& titulo) { titulo_ = titulo; }

DocumentoPdf& ImpressoraQt::documento() {
    if (!documento_) {
        // Decided before rendering, so that a job without a printer fails at once.
        const std::string destinoDoc = destino();
        if (destinoDoc.empty()) throw ErroPlataforma("nenhuma impressora padrão definida");
        documento_ = std::make_unique<DocumentoPdf>(QString::fromStdString(titulo_),
                                                    tamanhoPapel(destinoDoc), paisagem_);
        destino_ = destinoDoc;
        tituloDocumento_ = titulo_;
    }
    return *documento_;
}

void ImpressoraQt::imprimeLinha(std::u32string_view texto) {
    documento().imprimeLinha(linhaImpressa(texto), fonte_, entrelinha_);
}

void ImpressoraQt::imprimeTrechos(const std::vector<TrechoImpressao>& trechos) {
    std::vector<TrechoPdf> naPagina;
    naPagina.reserve(trechos.size());
    for (const TrechoImpressao& t : trechos) {
        QFont fonte(fonte_);
        fonte.setPointSizeF(t.pontos);
        fonte.setBold(t.negrito);
        fonte.setItalic(t.italico);
        fonte.setUnderline(t.sublinhado);
        naPagina.push_back({linhaImpressa(t.texto), fonte, t.x, t.avanco});
    }
    documento().imprimeTrechos(naPagina, fonte_, entrelinha_);
}

void ImpressoraQt::novaPagina() {
    // Before the first line there is no page to end: a job opening with a break wastes no sheet.
    if (documento_) documento_->novaPagina();
}

void ImpressoraQt::terminaDocumento() {
    if (!documento_) return;
    const std::unique_ptr<DocumentoPdf> documento = std::move(documento_);
    entrega(documento->termina(), destino_);
}

void ImpressoraQt::abortaDocumento() noexcept { documento_.reset(); }

void ImpressoraQt::entrega(const QString& pdf, const std::string& destino) {
    if (destino == kVelmoraPdf) {
        guardaPdf(pdf, pastaPdf_, tituloDocumento_);
    } else {
        enviaArquivoCups(destino, QFile::encodeName(pdf).toStdString(), tituloDocumento_,
                         CUPS_FORMAT_PDF);
    }
}

void ImpressoraQt::copiaBruto(const std::string& arquivo, const std::string& porta,
                              const std::string& titulo) {
    copiaParaPorta(arquivo, porta, titulo);
}

}  // namespace velmora
