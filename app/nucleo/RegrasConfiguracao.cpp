#include "RegrasConfiguracao.h"

#include <charconv>
#include <cmath>

#include "spooler/Caixa.h"

namespace velmora {

namespace {

constexpr std::string_view kPeriodoPadrao = "3";

bool digito(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double numeroInicial(std::string_view texto) {
    std::size_t i = texto.find_first_not_of(" \t");
    if (i == std::string_view::npos) return 0;
    bool negativo = false;
    if (texto[i] == '+' || texto[i] == '-') {
        negativo = texto[i] == '-';
        ++i;
    }
    // from_chars would also take "inf" and "nan": only a digit or a point starts a number here.
    const bool comDigito = i < texto.size() && digito(texto[i]);
    const bool comPonto = i + 1 < texto.size() && texto[i] == '.' && digito(texto[i + 1]);
    if (!comDigito && !comPonto) return 0;
    double valor = 0;
    const auto [fim, erro] = std::from_chars(texto.data() + i, texto.data() + texto.size(), valor);
    (void)fim;
    // Too large or too small for a double: no period can use it either way.
    if (erro != std::errc()) return 0;
    return negativo ? -valor : valor;
}

Periodo regraPeriodo(const std::string& txtTempo) {
    const double segundos = numeroInicial(txtTempo);
    const bool foraDosLimites = segundos < 1 || segundos > 60;
    Periodo periodo{foraDosLimites ? std::string(kPeriodoPadrao) : txtTempo, 0};
    periodo.intervaloMs = static_cast<int>(std::nearbyint(numeroInicial(periodo.texto) * 1000));
    return periodo;
}

std::optional<std::string> portaDaImpressora(const std::vector<InfoImpressora>& impressoras,
                                             const std::string& sImpressora) {
    std::optional<std::string> porta;
    for (const InfoImpressora& info : impressoras) {
        if (!igualSemCaixa(info.nome, sImpressora)) continue;
        std::string semDoisPontos;
        for (char c : info.porta) {
            if (c != ':') semDoisPontos.push_back(c);
        }
        porta = semDoisPontos;
    }
    return porta;
}

int estadoMarcacao(const std::string& flag) {
    return std::nearbyint(numeroInicial(flag)) == 1 ? 1 : 0;
}

}  // namespace velmora
