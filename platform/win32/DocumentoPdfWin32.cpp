#include "platform/win32/DocumentoPdfWin32.h"

#include <windows.h>

#include "platform/win32/PastasWin32.h"
#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr double kLarguraA4 = 595.28, kAlturaA4 = 841.89;
constexpr double kMargem = 6.35 / 25.4 * 72;
constexpr int kTentativas = 10000;

std::string baseDoTitulo(const std::string& titulo) {
    std::string nome = titulo.substr(titulo.find_last_of("\\/") + 1);
    const auto ponto = nome.find_last_of('.');
    if (ponto != std::string::npos && ponto > 0) nome.erase(ponto);
    if (nome.empty() || nome == "." || nome == "..") nome = "documento";
    return nome;
}

Face faceDe(const FontePdf& fonte) {
    if (fonte.negrito) return fonte.italico ? Face::negritoItalico : Face::negrito;
    return fonte.italico ? Face::italico : Face::normal;
}

}  // namespace

FacesFonte DocumentoPdfWin32::facesDoSistema() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string fontes = utf8(windows) + "\\Fonts\\";
    return {fontes + "cour.ttf", fontes + "courbd.ttf", fontes + "couri.ttf",
            fontes + "courbi.ttf"};
}

DocumentoPdfWin32::DocumentoPdfWin32(std::string pasta, std::string titulo, FacesFonte faces)
    : pasta_(std::move(pasta)), titulo_(std::move(titulo)) {
    if (!criaPastas(pasta_)) throw ErroPlataforma("não foi possível criar a pasta " + pasta_);
    temporario_ = pasta_ + "\\~velmora-" + std::to_string(::GetCurrentProcessId()) + ".pdf.tmp";
    escritor_ = std::make_unique<EscritorPdf>(temporario_, titulo_, std::move(faces));
}

DocumentoPdfWin32::~DocumentoPdfWin32() {
    if (!escritor_) return;
    escritor_.reset();
    ::DeleteFileW(larga(temporario_).c_str());
}

void DocumentoPdfWin32::novaPagina() { ++quebras_; }

void DocumentoPdfWin32::imprimeLinha(std::wstring_view linha, const FontePdf& fonte) {
    const Face face = faceDe(fonte);
    const MedidasFace medidas = escritor_->medidas(face);
    const double passo = (medidas.ascendente - medidas.descendente) * fonte.pontos;
    if (quebras_ == 0 && y_ + passo > kAlturaA4 - 2 * kMargem) ++quebras_;
    for (; quebras_ > 0; --quebras_) {
        escritor_->novaPagina(kLarguraA4, kAlturaA4);
        y_ = 0;
    }
    // What the font cannot draw shows as "?", and the line ends at the right margin.
    std::u32string texto;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        char32_t c = linha[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < linha.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (linha[++i] - 0xDC00);
        texto.push_back(escritor_->temGlifo(face, c) ? c : U'?');
    }
    TrechoPdf trecho{texto,
                  kMargem,
                  kMargem + y_ + medidas.ascendente * fonte.pontos,
                  face,
                  fonte.pontos,
                  1,
                  fonte.sublinhado};
    while (!texto.empty() && escritor_->largura(trecho) > kLarguraA4 - 2 * kMargem) {
        texto.pop_back();
        trecho.texto = texto;
    }
    if (!texto.empty()) escritor_->escreve(trecho);
    y_ += passo;
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
