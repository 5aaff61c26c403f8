#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QPageSize>
#include <QStringList>

#include "spooler/CamadaImpressao.h"

namespace velmora {

class DocumentoEscritor;
class DocumentoPdf;

// The printing layer on Linux: CUPS queues plus the built-in printer "Velmora PDF", which writes
// each document as a PDF file into a folder. Documents are rendered to PDF with Qt and handed to
// CUPS through libcups, so that a refusal reaches the caller. Needs a QGuiApplication alive.
class ImpressoraQt : public CamadaImpressao {
  public:
    static constexpr const char* kVelmoraPdf = "Velmora PDF";

    explicit ImpressoraQt(std::string pastaPdf);
    ~ImpressoraQt() override;

    // The user's documents folder + "/Velmora", where VELMORA_PDF_DIR does not say otherwise.
    static std::string pastaPdfPadrao();

    std::vector<InfoImpressora> impressoras() override;
    void tornaAtual(const std::string& nome) override;

    int quantidadeFontes() override;
    std::string nomeFonte(int indice) override;
    void defineFonte(const std::string& nome) override;
    void defineTamanho(float pontos) override;
    void defineSublinhado(bool ligado) override;
    void defineNegrito(bool ligado) override;
    void defineItalico(bool ligado) override;

    Papel papel() override;
    void definePaisagem(bool paisagem) override;
    void defineEntrelinha(double pontos) override;

    void defineTitulo(const std::string& titulo) override;
    void imprimeLinha(std::u32string_view texto) override;
    void imprimeTrechos(const std::vector<TrechoImpressao>& trechos) override;
    void novaPagina() override;
    void terminaDocumento() override;
    void abortaDocumento() noexcept override;

    void copiaBruto(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo) override;

  private:
    // What was printed on the document the PDF writer holds, to be drawn again by Qt when a
    // later line needs Qt's layout.
    struct Impresso {
        std::u32string linha;
        std::vector<TrechoImpressao> trechos;
        bool quebra = false;
        QFont fonte;
        double entrelinha = 0;
    };

    // Opens the document for the current printer at its first line: in the PDF writer when the
    // font is a fixed-pitch family whose files it can embed, else in Qt.
    void abreDocumento();
    // Takes the document over to Qt: what the writer printed so far is drawn again there.
    void passaParaQt();
    void desenhaNoQt(const Impresso& impresso);
    void entrega(const QString& pdf, const std::string& destino);
    // The printer the next document goes to: the one a job chose, else CUPS's default.
    std::string destino() const;
    // The paper of `destino`: the queue's default media; "Velmora PDF" and a queue that does not
    // say take the locale's.
    QPageSize tamanhoPapel(const std::string& destino) const;

    std::string pastaPdf_;
    // Unset until a job names a printer: the CUPS default is then looked up for each document.
    std::optional<std::string> atual_;
    QFont fonte_;
    bool paisagem_ = false;
    double entrelinha_ = 0;
    QStringList familias_;
    std::string titulo_;
    std::unique_ptr<DocumentoEscritor> escritor_;
    std::vector<Impresso> impressos_;
    std::unique_ptr<DocumentoPdf> documento_;
    // Printer and title of the open document.
    std::string destino_;
    std::string tituloDocumento_;
};

}  // namespace velmora
