#include "platform/win32/ImpressoraGdi.h"

#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/win32/PortaWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/Caixa.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/LinhaNoPapel.h"

namespace velmora {

namespace {

// What of a job line is drawn: tabs to 8-column stops, control characters left out (they have
// no glyph), invalid code points as U+FFFD.
std::u32string caracteresGdi(std::u32string_view texto) {
    std::u32string linha;
    for (char32_t c : expandeTabulacoes(texto)) {
        if (ehControle(c)) continue;
        linha.push_back(c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? U'\uFFFD' : c);
    }
    return linha;
}

// UTF-16 for GDI, and with `avancos` each character's advance on the first of its code units.
std::wstring utf16(std::u32string_view texto, double avanco = 0,
                   std::vector<INT>* avancos = nullptr) {
    std::wstring linha;
    double x = 0;
    for (char32_t c : texto) {
        if (c >= 0x10000) {
            linha.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            linha.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            linha.push_back(static_cast<wchar_t>(c));
        }
        if (avancos == nullptr) continue;
        // Each cell rounded from the run's start, so that no rounding adds up along the line.
        avancos->push_back(static_cast<INT>(std::lround(x + avanco) - std::lround(x)));
        if (c >= 0x10000) avancos->push_back(0);
        x += avanco;
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

// The printer's default settings with the sheet upright or sideways.
std::vector<BYTE> modoDaImpressora(const std::string& nome, bool paisagem) {
    std::wstring largo = larga(nome);
    const std::string contexto = "configuração da impressora \"" + nome + "\"";
    HANDLE impressora = nullptr;
    if (!::OpenPrinterW(largo.data(), &impressora, nullptr))
        lancaErroWin32(::GetLastError(), contexto);
    const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> fecha(impressora, ::ClosePrinter);
    const LONG bytes =
        ::DocumentPropertiesW(nullptr, impressora, largo.data(), nullptr, nullptr, 0);
    if (bytes <= 0) lancaErroWin32(::GetLastError(), contexto);
    std::vector<BYTE> padrao(static_cast<std::size_t>(bytes)), modo(padrao.size());
    auto* entrada = reinterpret_cast<DEVMODEW*>(padrao.data());
    if (::DocumentPropertiesW(nullptr, impressora, largo.data(), entrada, nullptr, DM_OUT_BUFFER) !=
        IDOK)
        lancaErroWin32(::GetLastError(), contexto);
    entrada->dmFields |= DM_ORIENTATION;
    entrada->dmOrientation = paisagem ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (::DocumentPropertiesW(nullptr, impressora, largo.data(),
                              reinterpret_cast<DEVMODEW*>(modo.data()), entrada,
                              DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
        lancaErroWin32(::GetLastError(), contexto);
    return modo;
}

HDC dcDaImpressora(const std::string& nome, const std::vector<BYTE>* modo = nullptr,
                   bool soInformacao = false) {
    const auto* dados = modo ? reinterpret_cast<const DEVMODEW*>(modo->data()) : nullptr;
    const std::wstring largo = larga(nome);
    HDC dc = soInformacao ? ::CreateICW(L"WINSPOOL", largo.c_str(), nullptr, dados)
                          : ::CreateDCW(L"WINSPOOL", largo.c_str(), nullptr, dados);
    if (dc == nullptr) lancaErroWin32(::GetLastError(), "impressora \"" + nome + "\"");
    return dc;
}

HFONT criaFonte(HDC dc, const std::string& nome, float pontos, bool negrito, bool italico,
                bool sublinhado, double avanco = 0) {
    LOGFONTW logica{};
    logica.lfHeight =
        -static_cast<LONG>(std::lround(pontos * ::GetDeviceCaps(dc, LOGPIXELSY) / 72.0));
    // A cell narrower or wider than the font's own narrows or widens its glyphs.
    if (avanco > 0)
        logica.lfWidth =
            static_cast<LONG>(std::lround(avanco * ::GetDeviceCaps(dc, LOGPIXELSX) / 72.0));
    logica.lfWeight = negrito ? FW_BOLD : FW_NORMAL;
    logica.lfItalic = italico;
    logica.lfUnderline = sublinhado;
    logica.lfCharSet = DEFAULT_CHARSET;
    logica.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    larga(nome).copy(logica.lfFaceName, LF_FACESIZE - 1);
    HFONT fonte = ::CreateFontIndirectW(&logica);
    if (fonte == nullptr) throw ErroPlataforma("não foi possível criar a fonte \"" + nome + "\"");
    return fonte;
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

Papel ImpressoraGdi::papel() {
    const std::string impressora = destino();
    if (impressora == kVelmoraPdf) return DocumentoPdfWin32::areaUtil();
    const std::vector<BYTE> modo = modoDaImpressora(impressora, false);
    HDC dc = dcDaImpressora(impressora, &modo, true);
    const int pixelsX = ::GetDeviceCaps(dc, LOGPIXELSX), pixelsY = ::GetDeviceCaps(dc, LOGPIXELSY);
    const int largura = ::GetDeviceCaps(dc, HORZRES), altura = ::GetDeviceCaps(dc, VERTRES);
    ::DeleteDC(dc);
    if (pixelsX <= 0 || pixelsY <= 0 || largura <= 0 || altura <= 0)
        throw ErroPlataforma("a impressora \"" + impressora + "\" não informou o papel");
    return {largura * 72.0 / pixelsX, altura * 72.0 / pixelsY};
}

void ImpressoraGdi::definePaisagem(bool paisagem) { paisagem_ = paisagem; }

void ImpressoraGdi::defineEntrelinha(double pontos) {
    if (!std::isfinite(pontos) || pontos < 0)
        throw ErroPlataforma("entrelinha inválida: " + std::to_string(pontos));
    entrelinha_ = pontos;
}

void ImpressoraGdi::defineTitulo(const std::string& titulo) { titulo_ = titulo; }

DocumentoPdfWin32* ImpressoraGdi::documentoPdf() {
    if (!pdf_ && dc_ == nullptr && destino() == kVelmoraPdf)
        pdf_ = std::make_unique<DocumentoPdfWin32>(pastaPdf_, titulo_,
                                                   DocumentoPdfWin32::facesDoSistema(), paisagem_);
    return pdf_.get();
}

FontePdf ImpressoraGdi::fontePdf() const { return {pontos_, negrito_, italico_, sublinhado_}; }

void ImpressoraGdi::abreDocumento() {
    const std::string impressora = destino();
    const std::vector<BYTE> modo = modoDaImpressora(impressora, paisagem_);
    dc_ = dcDaImpressora(impressora, &modo);
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
    HFONT nova = criaFonte(dc_, fonte_, pontos_, negrito_, italico_, sublinhado_);
    ::SelectObject(dc_, nova);
    if (fonteGdi_ != nullptr) ::DeleteObject(fonteGdi_);
    fonteGdi_ = nova;
    fonteMudou_ = false;
}

int ImpressoraGdi::iniciaLinha() {
    if (dc_ == nullptr) abreDocumento();
    if (fonteMudou_) selecionaFonte();
    TEXTMETRICW medidas{};
    ::GetTextMetricsW(dc_, &medidas);
    const int alturaFonte = std::max<int>(1, medidas.tmHeight);
    const double passo = entrelinha_ > 0 ? entrelinha_ * ::GetDeviceCaps(dc_, LOGPIXELSY) / 72.0
                                         : medidas.tmHeight + medidas.tmExternalLeading;
    const int fundo = ::GetDeviceCaps(dc_, VERTRES);
    // Half a pixel of slack: a pitch worked out to fit a number of lines is not refused the last.
    if (paginaAberta_ && y_ > 0 && y_ + passo > fundo + 0.5) novaPagina();
    if (!paginaAberta_) {
        if (::StartPage(dc_) <= 0) lancaErroWin32(::GetLastError(), "nova página");
        // Some drivers reset the DC's objects and modes with each page.
        ::SelectObject(dc_, fonteGdi_);
        ::SetTextAlign(dc_, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
        ::SetBkMode(dc_, TRANSPARENT);
        paginaAberta_ = true;
        y_ = 0;
    }
    // The base line divides the pitch as the font's ascent divides its height.
    const int base = static_cast<int>(std::lround(y_ + passo * medidas.tmAscent / alturaFonte));
    y_ += passo;
    return base;
}

void ImpressoraGdi::imprimeLinha(std::u32string_view texto) {
    if (DocumentoPdfWin32* pdf = documentoPdf()) {
        pdf->imprimeLinha(caracteresGdi(texto), fontePdf(), entrelinha_);
        return;
    }
    const int base = iniciaLinha();
    const std::wstring linha = utf16(caracteresGdi(texto));
    if (!linha.empty() && !::ExtTextOutW(dc_, 0, base, 0, nullptr, linha.data(),
                                         static_cast<UINT>(linha.size()), nullptr))
        lancaErroWin32(::GetLastError(), "impressão da linha");
}

void ImpressoraGdi::imprimeTrechos(const std::vector<TrechoImpressao>& trechos) {
    std::vector<TrechoImpressao> limpos(trechos);
    for (TrechoImpressao& t : limpos) t.texto = caracteresGdi(t.texto);
    if (DocumentoPdfWin32* pdf = documentoPdf()) {
        pdf->imprimeTrechos(limpos, fontePdf(), entrelinha_);
        return;
    }
    const int base = iniciaLinha();
    const double pixelsX = ::GetDeviceCaps(dc_, LOGPIXELSX) / 72.0;
    for (const TrechoImpressao& t : limpos) {
        if (t.texto.empty()) continue;
        std::vector<INT> avancos;
        const std::wstring texto = utf16(t.texto, t.avanco * pixelsX, &avancos);
        HFONT fonte =
            criaFonte(dc_, fonte_, t.pontos, t.negrito, t.italico, t.sublinhado, t.avanco);
        ::SelectObject(dc_, fonte);
        const BOOL desenhou =
            ::ExtTextOutW(dc_, static_cast<int>(std::lround(t.x * pixelsX)), base, 0, nullptr,
                          texto.data(), static_cast<UINT>(texto.size()), avancos.data());
        const DWORD erro = ::GetLastError();
        ::SelectObject(dc_, fonteGdi_);
        ::DeleteObject(fonte);
        if (!desenhou) lancaErroWin32(erro, "impressão da linha");
    }
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
