#pragma once

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "spooler/CamadaImpressao.h"
#include "spooler/ErroPlataforma.h"

namespace velmora::teste {

// Characters back to UTF-8, so that recorded lines read as the test wrote them.
inline std::string paraUtf8(std::u32string_view texto) {
    std::string r;
    for (char32_t c : texto) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else if (c < 0x800) {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            r += static_cast<char>(0xE0 | (c >> 12));
            r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            r += static_cast<char>(0xF0 | (c >> 18));
            r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

// A printing layer that records every call in order as text ("fonte Courier", "tamanho 9",
// "linha A", "pagina", "fim", ...) and throws ErroPlataforma(motivoFalha) at the call whose
// record equals `falharEm`.
class ImpressoraGravadora : public CamadaImpressao {
  public:
    std::vector<InfoImpressora> instaladas;
    std::vector<std::string> fontes;
    std::string atual = "Padrao";  // the current printer
    Papel folha{559.28, 805.89};   // A4 less a quarter inch all round
    // Settings that are not part of the recorded calls.
    bool paisagem = false;
    double entrelinha = 0;

    std::vector<std::string> chamadas;
    std::string falharEm;
    std::string motivoFalha = "falha simulada";

    // Called after each call is recorded (before a planned failure), to act at a given moment.
    std::function<void(const std::string&)> aoChamar;

    // What copiaBruto found in the file it was given, read at the moment of the call.
    std::string arquivoBruto;
    std::string bytesBrutos;

    // The calls that make up the document, without queries and settings.
    std::vector<std::string> documento() const {
        std::vector<std::string> r;
        for (const std::string& c : chamadas) {
            if (c.rfind("linha ", 0) == 0 || c == "pagina" || c == "fim" || c == "aborta") {
                r.push_back(c);
            }
        }
        return r;
    }

    std::vector<InfoImpressora> impressoras() override {
        grava("impressoras");
        return instaladas;
    }
    void tornaAtual(const std::string& nome) override {
        grava("atual " + nome);
        atual = nome;
    }
    int quantidadeFontes() override {
        grava("quantidadeFontes");
        return static_cast<int>(fontes.size());
    }
    std::string nomeFonte(int indice) override {
        grava("nomeFonte " + std::to_string(indice));
        return fontes.at(static_cast<std::size_t>(indice));
    }
    void defineFonte(const std::string& nome) override { grava("fonte " + nome); }
    void defineTamanho(float pontos) override {
        grava("tamanho " + std::to_string(static_cast<int>(pontos)));
    }
    void defineSublinhado(bool ligado) override {
        grava(std::string("sublinhado ") + (ligado ? "1" : "0"));
    }
    void defineNegrito(bool ligado) override {
        grava(std::string("negrito ") + (ligado ? "1" : "0"));
    }
    void defineItalico(bool ligado) override {
        grava(std::string("italico ") + (ligado ? "1" : "0"));
    }
    Papel papel() override { return folha; }
    void definePaisagem(bool p) override { paisagem = p; }
    void defineEntrelinha(double pontos) override { entrelinha = pontos; }
    void defineTitulo(const std::string& titulo) override { grava("titulo " + titulo); }
    void imprimeLinha(std::u32string_view texto) override { grava("linha " + paraUtf8(texto)); }
    void novaPagina() override { grava("pagina"); }
    void terminaDocumento() override { grava("fim"); }
    void abortaDocumento() noexcept override { chamadas.push_back("aborta"); }
    void copiaBruto(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo) override {
        arquivoBruto = arquivo;
        std::ifstream entrada(arquivo, std::ios::binary);
        bytesBrutos.assign(std::istreambuf_iterator<char>(entrada), {});
        grava("bruto " + porta + " " + titulo);
    }

  private:
    void grava(std::string chamada) {
        chamadas.push_back(chamada);
        if (aoChamar) aoChamar(chamada);
        if (!falharEm.empty() && chamada == falharEm) throw ErroPlataforma(motivoFalha);
    }
};

}  // namespace velmora::teste
