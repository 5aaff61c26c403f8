#include "spooler/MontagemLinha.h"

#include <algorithm>
#include <utility>

namespace velmora {

std::uint32_t MontagemLinha::estilo(const Atributos& atributos) {
    const auto it = std::find(estilos_.rbegin(), estilos_.rend(), atributos);
    if (it != estilos_.rend()) return static_cast<std::uint32_t>(estilos_.rend() - it - 1);
    estilos_.push_back(atributos);
    return static_cast<std::uint32_t>(estilos_.size() - 1);
}

std::uint32_t MontagemLinha::comMarca(std::uint32_t base, bool negrito, bool sublinhado) {
    Atributos a = estilos_[base];
    a.negrito = a.negrito || negrito;
    a.sublinhado = a.sublinhado || sublinhado;
    return estilo(a);
}

void MontagemLinha::sobrepoe(Celula& abaixo, const Celula& nova) {
    if (nova.branco()) return;
    if (abaixo.texto() == nova.texto()) {
        abaixo.marca.estilo = comMarca(abaixo.marca.estilo, true, false);
    } else if (nova.texto() == "_") {
        // Blanks too: an underlined gap between underlined words stays a gap.
        abaixo.marca.estilo = comMarca(abaixo.marca.estilo, false, true);
    } else if (abaixo.branco()) {
        abaixo = nova;
    } else {
        const bool sublinhado = abaixo.texto() == "_";
        abaixo = nova;
        abaixo.marca.estilo = comMarca(abaixo.marca.estilo, false, sublinhado);
    }
}

void MontagemLinha::poe(int x, std::string_view caractere, const Marca& marca) {
    Celula c;
    c.x = x;
    c.marca = marca;
    c.n = static_cast<std::uint8_t>(std::min<std::size_t>(caractere.size(), c.bytes.size()));
    std::copy_n(caractere.begin(), c.n, c.bytes.begin());
    // Text runs left to right: a cell is nearly always the last one.
    if (celulas_.empty() || celulas_.back().x < x) {
        celulas_.push_back(c);
        return;
    }
    auto it = std::lower_bound(celulas_.begin(), celulas_.end(), x,
                               [](const Celula& a, int valor) { return a.x < valor; });
    if (it != celulas_.end() && it->x == x) {
        sobrepoe(*it, c);
    } else {
        celulas_.insert(it, c);
    }
}

void MontagemLinha::entrega(Linha& linha, const std::vector<std::string>& codigos) {
    linha.trechos.clear();
    int inicio = 0, fim = 0;
    bool algum = false;
    const Celula* anterior = nullptr;
    for (const Celula& c : celulas_) {
        const Marca& m = c.marca;
        const bool continua =
            anterior != nullptr && anterior->marca.estilo == m.estilo &&
            anterior->marca.largura == m.largura && anterior->marca.codigo == m.codigo &&
            anterior->marca.conjunto == m.conjunto && anterior->x + anterior->marca.largura == c.x;
        if (!continua) {
            Trecho t;
            t.atributos = estilos_[m.estilo];
            t.x = c.x;
            t.larguraCaractere = m.largura;
            t.codigo = codigos[m.codigo];
            t.conjuntoNacional = m.conjunto;
            linha.trechos.push_back(std::move(t));
        }
        linha.trechos.back().texto += c.texto();
        anterior = &c;
        if (c.branco()) continue;
        inicio = algum ? std::min(inicio, c.x) : c.x;
        fim = algum ? std::max(fim, c.x + m.largura) : c.x + m.largura;
        algum = true;
    }
    linha.larguraColunas = static_cast<double>(fim - inicio) / kColuna10Cpi;
    celulas_.clear();
}

}  // namespace velmora
