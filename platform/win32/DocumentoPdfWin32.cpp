#include "platform/win32/DocumentoPdfWin32.h"

#include <windows.h>

#include "platform/win32/PastasWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Formato.h"

namespace velmora {

namespace {

constexpr double kLarguraA4 = 595.28, kAlturaA4 = 841.89;
// Half a pixel at 1200 dpi: a pitch worked out to fit a number of lines is not refused the last.
constexpr double kFolga = 36.0 / 1200;
constexpr int kTentativas = 10000;

std::string baseDoTitulo(const std::string& titulo) {
    std::string nome = titulo.substr(titulo.find_last_of("\\/") + 1);
    const auto ponto = nome.find_last_of('.');
    if (ponto != std::string::npos && ponto > 0) nome.erase(ponto);
    if (nome.empty() || nome == "." || nome == "..") nome = "documento";
    return nome;
}

Face faceDe(bool negrito, bool italico) {
    if (negrito) return italico ? Face::negritoItalico : Face::negrito;
    return italico ? Face::italico : Face::normal;
}

}  // namespace

FacesFonte DocumentoPdfWin32::facesDoSistema() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string fontes = utf8(windows) + "\\Fonts\\";
    return {fontes + "cour.ttf", fontes + "courbd.ttf", fontes + "couri.ttf",
            fontes + "courbi.ttf"};
}

DocumentoPdfWin32::DocumentoPdfWin32(std::string pasta, std::string titulo, FacesFonte faces,
                                     bool paisagem)
    : pasta_(std::move(pasta)),
      titulo_(std::move(titulo)),
      largura_(paisagem ? kAlturaA4 : kLarguraA4),
      altura_(paisagem ? kLarguraA4 : kAlturaA4) {
    if (!criaPastas(pasta_)) throw ErroPlataforma("não foi possível criar a pasta " + pasta_);
    temporario_ = pasta_ + "\\~velmora-" + std::to_string(::GetCurrentProcessId()) + ".pdf.tmp";
    escritor_ = std::make_unique<EscritorPdf>(temporario_, titulo_, std::move(faces));
}

DocumentoPdfWin32::~DocumentoPdfWin32() {
    if (!escritor_) return;
    escritor_.reset();
    ::DeleteFileW(larga(temporario_).c_str());
}

Papel DocumentoPdfWin32::areaUtil() {
    return {kLarguraA4 - 2 * kMargemPontos, kAlturaA4 - 2 * kMargemPontos};
}

void DocumentoPdfWin32::novaPagina() { ++quebras_; }

double DocumentoPdfWin32::iniciaLinha(const FontePdf& fonte, double entrelinha) {
    const MedidasFace medidas = escritor_->medidas(faceDe(fonte.negrito, fonte.italico));
    const double altura = medidas.ascendente - medidas.descendente;
    const double passo = entrelinha > 0 ? entrelinha : altura * fonte.pontos;
    if (quebras_ == 0 && y_ > 0 && y_ + passo > altura_ - 2 * kMargemPontos + kFolga) ++quebras_;
    for (; quebras_ > 0; --quebras_) {
        escritor_->novaPagina(largura_, altura_);
        y_ = 0;
    }
    // The base line divides the pitch as the font's ascent divides its height.
    const double base = kMargemPontos + y_ + (altura > 0 ? passo * medidas.ascendente / altura : 0);
    y_ += passo;
    return base;
}

std::u32string DocumentoPdfWin32::desenhavel(std::u32string_view texto, Face face) {
    std::u32string saida(texto);
    for (char32_t& c : saida)
        if (!escritor_->temGlifo(face, c)) c = U'?';
    return saida;
}

void DocumentoPdfWin32::imprimeLinha(std::u32string_view linha, const FontePdf& fonte,
                                     double entrelinha) {
    const Face face = faceDe(fonte.negrito, fonte.italico);
    const double base = iniciaLinha(fonte, entrelinha);
    std::u32string texto = desenhavel(linha, face);
    TrechoPdf trecho{texto, kMargemPontos, base, face, fonte.pontos, 1, fonte.sublinhado};
    // The line ends at the right margin.
    while (!texto.empty() && escritor_->largura(trecho) > largura_ - 2 * kMargemPontos) {
        texto.pop_back();
        trecho.texto = texto;
    }
    if (!texto.empty()) escritor_->escreve(trecho);
}

void DocumentoPdfWin32::imprimeTrechos(const std::vector<TrechoImpressao>& trechos,
                                       const FontePdf& fonte, double entrelinha) {
    const double base = iniciaLinha(fonte, entrelinha);
    for (const TrechoImpressao& t : trechos) {
        const Face face = faceDe(t.negrito, t.italico);
        const std::u32string texto = desenhavel(t.texto, face);
        if (texto.empty()) continue;
        TrechoPdf trecho{texto, kMargemPontos + t.x, base, face, t.pontos, 1, t.sublinhado};
        // Condensed or wide print: each glyph keeps the cell its pitch gives it.
        const double natural = escritor_->largura({U"0", 0, 0, face, t.pontos, 1, false});
        if (natural > 0 && t.avanco > 0) trecho.escala = t.avanco / natural;
        escritor_->escreve(trecho);
    }
}

std::string DocumentoPdfWin32::termina() {
    escritor_->termina();
    escritor_.reset();
    const std::string base = pasta_ + "\\" + baseDoTitulo(titulo_);
    for (int n = 0; n < kTentativas; ++n) {
        const std::string caminho =
            n == 0 ? base + ".pdf" : base + "-" + std::to_string(n) + ".pdf";
        if (::MoveFileExW(larga(temporario_).c_str(), larga(caminho).c_str(),
                          MOVEFILE_WRITE_THROUGH))
            return caminho;
        const DWORD erro = ::GetLastError();
        if (erro != ERROR_ALREADY_EXISTS && erro != ERROR_FILE_EXISTS) {
            ::DeleteFileW(larga(temporario_).c_str());
            lancaErroWin32(erro, caminho);
        }
    }
    ::DeleteFileW(larga(temporario_).c_str());
    throw ErroPlataforma("a pasta " + pasta_ + " já tem nomes demais para " + base + ".pdf");
}

}  // namespace velmora
