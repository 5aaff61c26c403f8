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
#include "platform/cups/FilasCups.h"
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

void ImpressoraQt::defineTitulo(const std::string& titulo) { titulo_ = titulo; }

void ImpressoraQt::imprimeLinha(std::u32string_view texto) {
    if (!documento_) {
        // Decided before rendering, so that a job without a printer fails at once.
        const std::string destino = atual_ ? *atual_ : filaPadraoCups();
        if (destino.empty()) throw ErroPlataforma("nenhuma impressora padrão definida");
        documento_ = std::make_unique<DocumentoPdf>(QString::fromStdString(titulo_));
        destino_ = destino;
        tituloDocumento_ = titulo_;
    }
    documento_->imprimeLinha(linhaImpressa(texto), fonte_);
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
