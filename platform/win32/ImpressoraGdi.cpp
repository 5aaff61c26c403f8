#include "platform/win32/ImpressoraGdi.h"

#include <winspool.h>

#include <cmath>

#include "platform/win32/PortaWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/Caixa.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr std::size_t kParadaTab = 8;

bool ehControle(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// What of a job line is drawn: tabs to 8-column stops, control characters left out (they have
// no glyph), invalid code points as U+FFFD; UTF-16 for GDI.
std::wstring linhaGdi(std::u32string_view texto) {
    std::wstring linha;
    std::size_t coluna = 0;
    for (char32_t c : texto) {
        if (c == U'\t') {
            const std::size_t brancos = kParadaTab - coluna % kParadaTab;
            linha.append(brancos, L' ');
            coluna += brancos;
            continue;
        }
        if (ehControle(c)) continue;
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = U'\uFFFD';
        if (c >= 0x10000) {
            linha.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            linha.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            linha.push_back(static_cast<wchar_t>(c));
        }
        ++coluna;
    }
    return linha;
}

int CALLBACK guardaFamilia(const LOGFONTW* fonte, const TEXTMETRICW*, DWORD, LPARAM dados) {
    auto& nomes = *reinterpret_cast<std::vector<std::string>*>(dados);
    // Vertical variants of East Asian fonts ("@MS Mincho") are no family a user picks.
    if (fonte->lfFaceName[0] == L'@') return 1;
    std::string nome = utf8(fonte->lfFaceName);
    for (const std::string& visto : nomes)
        if (visto == nome) return 1;
    nomes.push_back(std::move(nome));
    return 1;
}

HDC dcDaImpressora(const std::string& nome) {
    HDC dc = ::CreateDCW(L"WINSPOOL", larga(nome).c_str(), nullptr, nullptr);
    if (dc == nullptr) lancaErroWin32(::GetLastError(), "impressora \"" + nome + "\"");
    return dc;
}

}  // namespace

std::vector<InfoImpressora> impressorasInstaladas() {
    const DWORD tipos = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD bytes = 0, quantas = 0;
    ::EnumPrintersW(tipos, nullptr, 2, nullptr, 0, &bytes, &quantas);
    std::vector<InfoImpressora> lista;
    if (bytes == 0) return lista;
    std::vector<BYTE> dados(bytes);
    if (!::EnumPrintersW(tipos, nullptr, 2, dados.data(), bytes, &bytes, &quantas))
        lancaErroWin32(::GetLastError(), "lista de impressoras");
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(dados.data());
    for (DWORD i = 0; i < quantas; ++i)
        lista.push_back({utf8(info[i].pPrinterName ? info[i].pPrinterName : L""),
                         utf8(info[i].pPortName ? info[i].pPortName : L"")});
    return lista;
}

std::string impressoraPadrao() {
    DWORD tamanho = 0;
    ::GetDefaultPrinterW(nullptr, &tamanho);
    if (tamanho == 0) return {};
    std::wstring nome(tamanho, L'\0');
    if (!::GetDefaultPrinterW(nome.data(), &tamanho)) return {};
    nome.resize(tamanho > 0 ? tamanho - 1 : 0);
    return utf8(nome);
}

ImpressoraGdi::ImpressoraGdi(std::string pastaPdf) : pastaPdf_(std::move(pastaPdf)) {}

ImpressoraGdi::~ImpressoraGdi() {
    abortaDocumento();
    if (fonteGdi_ != nullptr) ::DeleteObject(fonteGdi_);
}

std::vector<InfoImpressora> ImpressoraGdi::impressoras() {
    std::vector<InfoImpressora> lista = impressorasInstaladas();
    lista.push_back({kVelmoraPdf, ""});
    return lista;
}

void ImpressoraGdi::tornaAtual(const std::string& nome) {
    // An unknown name must not send the next jobs anywhere else: the current printer stays.
    for (const InfoImpressora& impressora : impressoras()) {
        if (igualSemCaixa(impressora.nome, nome)) {
            atual_ = impressora.nome;
            return;
        }
    }
    throw ErroPlataforma("a impressora \"" + nome + "\" não existe");
}

std::string ImpressoraGdi::destino() {
    if (atual_) return *atual_;
    const std::string padrao = impressoraPadrao();
    if (padrao.empty()) throw ErroPlataforma("nenhuma impressora padrão definida");
    return padrao;
}

int ImpressoraGdi::quantidadeFontes() {
    const std::string impressora = destino();
    if (impressora == kVelmoraPdf) {
        fontes_ = {"Courier New"};
        return 1;
    }
    HDC dc = dcDaImpressora(impressora);
    LOGFONTW todas{};
    todas.lfCharSet = DEFAULT_CHARSET;
    fontes_.clear();
    ::EnumFontFamiliesExW(dc, &todas, guardaFamilia, reinterpret_cast<LPARAM>(&fontes_), 0);
    ::DeleteDC(dc);
    return static_cast<int>(fontes_.size());
}

std::string ImpressoraGdi::nomeFonte(int indice) {
    if (fontes_.empty()) quantidadeFontes();
    if (indice < 0 || indice >= static_cast<int>(fontes_.size()))
        throw ErroPlataforma("não há fonte de número " + std::to_string(indice));
    return fontes_[static_cast<std::size_t>(indice)];
}

void ImpressoraGdi::defineFonte(const std::string& nome) {
    fonte_ = nome;
    fonteMudou_ = true;
}

void ImpressoraGdi::defineTamanho(float pontos) {
    if (!std::isfinite(pontos) || pontos <= 0)
        throw ErroPlataforma("tamanho de fonte inválido: " + std::to_string(pontos));
    pontos_ = pontos;
    fonteMudou_ = true;
}

void ImpressoraGdi::defineSublinhado(bool ligado) {
    sublinhado_ = ligado;
    fonteMudou_ = true;
}

void ImpressoraGdi::defineNegrito(bool ligado) {
    negrito_ = ligado;
    fonteMudou_ = true;
}

void ImpressoraGdi::defineItalico(bool ligado) {
    italico_ = ligado;
    fonteMudou_ = true;
}

void ImpressoraGdi::defineTitulo(const std::string& titulo) { titulo_ = titulo; }

void ImpressoraGdi::abreDocumento() {
    const std::string impressora = destino();
    dc_ = dcDaImpressora(impressora);
    const std::wstring titulo = larga(titulo_);
    DOCINFOW documento{};
    documento.cbSize = sizeof documento;
    documento.lpszDocName = titulo.c_str();
    if (::StartDocW(dc_, &documento) <= 0) {
        const DWORD erro = ::GetLastError();
        fechaDc();
        lancaErroWin32(erro, "impressora \"" + impressora + "\" recusou o documento");
    }
    fonteMudou_ = true;
}

void ImpressoraGdi::selecionaFonte() {
    LOGFONTW logica{};
    const double pixels = pontos_ * ::GetDeviceCaps(dc_, LOGPIXELSY) / 72.0;
    logica.lfHeight = -static_cast<LONG>(std::lround(pixels));
    logica.lfWeight = negrito_ ? FW_BOLD : FW_NORMAL;
    logica.lfItalic = italico_;
    logica.lfUnderline = sublinhado_;
    logica.lfCharSet = DEFAULT_CHARSET;
    logica.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    const std::wstring nome = larga(fonte_);
    nome.copy(logica.lfFaceName, LF_FACESIZE - 1);
    HFONT nova = ::CreateFontIndirectW(&logica);
    if (nova == nullptr) throw ErroPlataforma("não foi possível criar a fonte \"" + fonte_ + "\"");
    ::SelectObject(dc_, nova);
    if (fonteGdi_ != nullptr) ::DeleteObject(fonteGdi_);
    fonteGdi_ = nova;
    fonteMudou_ = false;
}

void ImpressoraGdi::imprimeLinha(std::u32string_view texto) {
    if (!pdf_ && dc_ == nullptr && destino() == kVelmoraPdf)
        pdf_ = std::make_unique<DocumentoPdfWin32>(pastaPdf_, titulo_,
                                                   DocumentoPdfWin32::facesDoSistema());
    if (pdf_) {
        pdf_->imprimeLinha(linhaGdi(texto), {pontos_, negrito_, italico_, sublinhado_});
        return;
    }
    if (dc_ == nullptr) abreDocumento();
    if (fonteMudou_) selecionaFonte();
    TEXTMETRICW medidas{};
    ::GetTextMetricsW(dc_, &medidas);
    const int altura = medidas.tmHeight + medidas.tmExternalLeading;
    const int fundo = ::GetDeviceCaps(dc_, VERTRES);
    if (paginaAberta_ && y_ + altura > fundo) novaPagina();
    if (!paginaAberta_) {
        if (::StartPage(dc_) <= 0) lancaErroWin32(::GetLastError(), "nova página");
        // Some drivers reset the DC's objects with each page.
        ::SelectObject(dc_, fonteGdi_);
        paginaAberta_ = true;
        y_ = 0;
    }
    const std::wstring linha = linhaGdi(texto);
    if (!linha.empty() && !::ExtTextOutW(dc_, 0, y_, 0, nullptr, linha.data(),
                                         static_cast<UINT>(linha.size()), nullptr))
        lancaErroWin32(::GetLastError(), "impressão da linha");
    y_ += altura;
}

void ImpressoraGdi::novaPagina() {
    if (pdf_) pdf_->novaPagina();
    // Before the first line there is no page to end: a job opening with a break wastes no sheet.
    if (!paginaAberta_) return;
    paginaAberta_ = false;
    if (::EndPage(dc_) <= 0) lancaErroWin32(::GetLastError(), "fim da página");
}

void ImpressoraGdi::terminaDocumento() {
    if (pdf_) {
        const std::unique_ptr<DocumentoPdfWin32> pdf = std::move(pdf_);
        pdf->termina();
        return;
    }
    if (dc_ == nullptr) return;
    novaPagina();
    const int fim = ::EndDoc(dc_);
    const DWORD erro = ::GetLastError();
    fechaDc();
    if (fim <= 0) lancaErroWin32(erro, "a impressora não aceitou o documento");
}

void ImpressoraGdi::abortaDocumento() noexcept {
    pdf_.reset();
    if (dc_ == nullptr) return;
    ::AbortDoc(dc_);
    fechaDc();
}

void ImpressoraGdi::fechaDc() noexcept {
    ::DeleteDC(dc_);
    dc_ = nullptr;
    paginaAberta_ = false;
}

void ImpressoraGdi::copiaBruto(const std::string& arquivo, const std::string& porta,
                               const std::string& titulo) {
    for (const InfoImpressora& impressora : impressorasInstaladas()) {
        if (igualSemCaixa(impressora.nome, porta)) {
            enviaBrutoImpressora(arquivo, impressora.nome, titulo);
            return;
        }
    }
    copiaParaPorta(arquivo, porta);
}

}  // namespace velmora
