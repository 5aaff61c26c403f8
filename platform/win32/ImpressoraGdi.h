#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/DocumentoPdfWin32.h"
#include "spooler/CamadaImpressao.h"

namespace velmora {

// The printing layer on Windows: the installed printers through GDI. A document is opened on the
// printer's DC (upright or sideways, through the printer's DEVMODE) with the job's name as title
// at its first line, a page is started only when a line arrives, and a line that no longer fits
// above the printable area's bottom goes to a new page. Raw output goes to an installed printer as
// a RAW job, or is copied onto a port, share or file path. The built-in printer "Velmora PDF"
// writes each document as a PDF into a folder.
class ImpressoraGdi : public CamadaImpressao {
  public:
    static constexpr const char* kVelmoraPdf = "Velmora PDF";

    explicit ImpressoraGdi(std::string pastaPdf);
    ~ImpressoraGdi() override;
    ImpressoraGdi(const ImpressoraGdi&) = delete;
    ImpressoraGdi& operator=(const ImpressoraGdi&) = delete;

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
    std::string destino();
    // The document of "Velmora PDF", opened at its first line; null for any other printer.
    DocumentoPdfWin32* documentoPdf();
    void abreDocumento();
    void selecionaFonte();
    // Opens the document and the page as needed and moves down one line. Gives the line's base
    // line in device units.
    int iniciaLinha();
    FontePdf fontePdf() const;
    void fechaDc() noexcept;

    std::string pastaPdf_;
    // Unset until a job names a printer: the system default is then looked up per document.
    std::optional<std::string> atual_;
    std::vector<std::string> fontes_;
    std::string fonte_ = "Courier New";
    float pontos_ = 11;
    bool sublinhado_ = false, negrito_ = false, italico_ = false;
    bool paisagem_ = false;
    double entrelinha_ = 0;  // points; 0 keeps the font's own
    std::string titulo_;

    std::unique_ptr<DocumentoPdfWin32> pdf_;
    HDC dc_ = nullptr;
    HFONT fonteGdi_ = nullptr;
    bool fonteMudou_ = true;
    bool paginaAberta_ = false;
    double y_ = 0;  // device units from the printable area's top, unrounded so no drift adds up
};

// The installed printers, local and connections, in the system's order; the port is the one
// the printer is attached to.
std::vector<InfoImpressora> impressorasInstaladas();
// The system's default printer, or empty.
std::string impressoraPadrao();

}  // namespace velmora
