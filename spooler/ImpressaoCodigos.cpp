#include "ImpressaoCodigos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Caixa.h"
#include "LinhaNoPapel.h"

namespace velmora {

namespace {

// Superscript and subscript are drawn small on the base line.
constexpr float kEscalaIndice = 2.0f / 3.0f;

bool simples(const Trecho& t) {
    return t.atributos == Atributos{} && t.larguraCaractere == kColuna10Cpi;
}

std::vector<TrechoImpressao> trechosDaLinha(const Linha& linha, const Decodificador& decodificador,
                                            const Formato& formato) {
    const double avancoNormal = kAvancoEm * formato.pontos;
    std::vector<TrechoImpressao> trechos;
    trechos.reserve(linha.trechos.size());
    for (const Trecho& t : linha.trechos) {
        TrechoImpressao r;
        r.texto =
            comConjuntoNacional(decodificador.decodifica(t.texto, t.codigo), t.conjuntoNacional);
        const double colunas = static_cast<double>(t.x) / kColuna10Cpi;
        r.x = colunas * avancoNormal;
        r.coluna = static_cast<std::size_t>(std::max(0.0, std::round(colunas)));
        r.avanco = static_cast<double>(t.larguraCaractere) / kColuna10Cpi * avancoNormal;
        r.pontos = formato.pontos;
        if (t.atributos.posicao != PosicaoVertical::normal) r.pontos *= kEscalaIndice;
        // Twice as tall on the same base line, each character keeping its cell.
        if (t.atributos.alturaDupla) r.pontos *= 2;
        r.negrito = t.atributos.negrito;
        r.italico = t.atributos.italico;
        r.sublinhado = t.atributos.sublinhado;
        trechos.push_back(std::move(r));
    }
    return trechos;
}

}  // namespace

bool temCodigos(std::string_view job) {
    for (std::size_t i = 0; i < job.size(); ++i) {
        const auto c = static_cast<unsigned char>(job[i]);
        if (c == '\r') {
            if (i + 1 < job.size() && job[i + 1] != '\n') return true;
        } else if ((c < 0x20 && c != '\t' && c != '\n' && c != '\f') || c == 0x7F) {
            return true;
        }
    }
    return false;
}

Formato formatoComCodigos(std::string_view job, LinguagemCodigos linguagem,
                          const std::string& codigo, const Papel& papel) {
    double largura = 0;
    int linhasPagina = 0;
    bool paisagem = false;
    CodigosImpressora codigos(job, linguagem, codigo);
    Linha linha;
    while (codigos.proxima(linha)) {
        largura = std::max(largura, linha.larguraColunas);
        if (linhasPagina == 0) linhasPagina = linha.linhasPagina;
        paisagem = paisagem || linha.paisagem;
    }
    const auto colunas = static_cast<std::int16_t>(
        std::min<double>(std::ceil(largura - 1e-6), std::numeric_limits<std::int16_t>::max()));

    Formato formato = escolheFormato(colunas, papel);
    if (paisagem && !formato.paisagem) {
        // Chosen on the sheet turned; where even that needs it upright, upright it is.
        formato = escolheFormato(colunas, Papel{papel.altura, papel.largura});
        formato.paisagem = !formato.paisagem;
    }
    if (linhasPagina > 0) {
        formato.entrelinha = (formato.paisagem ? papel.largura : papel.altura) / linhasPagina;
        // Lines closer than the font is tall would run into each other.
        const auto cabe = static_cast<float>(std::floor(formato.entrelinha * 10) / 10);
        formato.pontos = std::max(1.0f, std::min(formato.pontos, cabe));
    }
    return formato;
}

void imprimeComCodigos(CamadaImpressao& impressora, std::string_view job,
                       LinguagemCodigos linguagem, const std::string& codigo,
                       const Decodificador& decodificador, const Formato& formato) {
    CodigosImpressora codigos(job, linguagem, codigo);
    Linha linha;
    while (codigos.proxima(linha)) {
        std::string bytes;
        for (const Trecho& t : linha.trechos) bytes += t.texto;
        if (contemSemCaixa(bytes, "EJECT")) {
            impressora.novaPagina();
            continue;
        }
        const std::vector<TrechoImpressao> trechos = trechosDaLinha(linha, decodificador, formato);
        const std::u32string plana = linhaSimples(trechos);
        // A line that only ends the page leaves no empty line behind, so a job that opens with
        // a form feed does not open with a blank sheet.
        if (!linha.novaPagina || temTinta(plana)) {
            const bool semCodigos =
                std::all_of(linha.trechos.begin(), linha.trechos.end(), simples);
            if (semCodigos || linha.larguraColunas > static_cast<double>(formato.colunas)) {
                imprimeNoPapel(impressora, plana, formato);
            } else {
                impressora.imprimeTrechos(trechos);
            }
        }
        if (linha.novaPagina) impressora.novaPagina();
    }
}

void imprimeNoPapel(CamadaImpressao& impressora, const std::u32string& linha,
                    const Formato& formato) {
    const std::u32string expandida = expandeTabulacoes(linha);
    for (std::u32string_view pedaco : quebraEmColunas(expandida, formato.colunas)) {
        impressora.imprimeLinha(pedaco);
    }
}

}  // namespace velmora
