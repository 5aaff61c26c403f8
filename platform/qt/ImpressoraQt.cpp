#include "ImpressoraQt.h"

#include <cmath>
#include <cstdlib>

#include <cups/cups.h>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QStandardPaths>

#include "DocumentoEscritor.h"
#include "DocumentoPdf.h"
#include "FacesSistema.h"
#include "LinhaImpressa.h"
#include "PastaPdf.h"
#include "platform/cups/FilasCups.h"
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

void ImpressoraQt::abreDocumento() {
    if (escritor_ || documento_) return;
    // Decided before rendering, so that a job without a printer fails at once.
    const std::string destinoDoc = destino();
    if (destinoDoc.empty()) throw ErroPlataforma("nenhuma impressora padrão definida");
    const QString titulo = QString::fromStdString(titulo_);
    if (const std::optional<FacesFonte> faces = facesDoSistema(fonte_)) {
        escritor_ = std::make_unique<DocumentoEscritor>(titulo, tamanhoPapel(destinoDoc), paisagem_,
                                                        *faces);
    } else {
        documento_ = std::make_unique<DocumentoPdf>(titulo, tamanhoPapel(destinoDoc), paisagem_);
    }
    destino_ = destinoDoc;
    tituloDocumento_ = titulo_;
}

void ImpressoraQt::passaParaQt() {
    documento_ = std::make_unique<DocumentoPdf>(QString::fromStdString(tituloDocumento_),
                                                tamanhoPapel(destino_), paisagem_);
    escritor_.reset();
    for (const Impresso& impresso : impressos_) desenhaNoQt(impresso);
    impressos_.clear();
}

void ImpressoraQt::desenhaNoQt(const Impresso& impresso) {
    if (impresso.quebra) {
        documento_->novaPagina();
    } else if (impresso.trechos.empty()) {
        documento_->imprimeLinha(linhaImpressa(impresso.linha), impresso.fonte,
                                 impresso.entrelinha);
    } else {
        std::vector<TrechoQt> naPagina;
        naPagina.reserve(impresso.trechos.size());
        for (const TrechoImpressao& t : impresso.trechos) {
            QFont fonte(impresso.fonte);
            fonte.setPointSizeF(t.pontos);
            fonte.setBold(t.negrito);
            fonte.setItalic(t.italico);
            fonte.setUnderline(t.sublinhado);
            naPagina.push_back({linhaImpressa(t.texto), fonte, t.x, t.avanco});
        }
        documento_->imprimeTrechos(naPagina, impresso.fonte, impresso.entrelinha);
    }
}

void ImpressoraQt::imprimeLinha(std::u32string_view texto) {
    abreDocumento();
    Impresso impresso{caracteresImpressos(texto), {}, false, fonte_, entrelinha_};
    if (escritor_) {
        if (escritor_->imprimeLinha(impresso.linha, fonte_, entrelinha_)) {
            impressos_.push_back(std::move(impresso));
            return;
        }
        passaParaQt();
    }
    desenhaNoQt(impresso);
}

void ImpressoraQt::imprimeTrechos(const std::vector<TrechoImpressao>& trechos) {
    abreDocumento();
    // A line without runs is an empty line.
    if (trechos.empty()) return imprimeLinha(U"");
    Impresso impresso{{}, trechos, false, fonte_, entrelinha_};
    if (escritor_) {
        if (escritor_->imprimeTrechos(trechos, fonte_, entrelinha_)) {
            impressos_.push_back(std::move(impresso));
            return;
        }
        passaParaQt();
    }
    desenhaNoQt(impresso);
}

void ImpressoraQt::novaPagina() {
    // Before the first line there is no page to end: a job opening with a break wastes no sheet.
    if (escritor_) {
        escritor_->novaPagina();
        impressos_.push_back({{}, {}, true, fonte_, entrelinha_});
    } else if (documento_) {
        documento_->novaPagina();
    }
}

void ImpressoraQt::terminaDocumento() {
    impressos_.clear();
    if (escritor_) {
        const std::unique_ptr<DocumentoEscritor> escritor = std::move(escritor_);
        entrega(escritor->termina(), destino_);
    } else if (documento_) {
        const std::unique_ptr<DocumentoPdf> documento = std::move(documento_);
        entrega(documento->termina(), destino_);
    }
}

void ImpressoraQt::abortaDocumento() noexcept {
    escritor_.reset();
    impressos_.clear();
    documento_.reset();
}

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
