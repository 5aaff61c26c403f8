#include "NomesJob.h"

#include "spooler/Caixa.h"
#include "spooler/Utf8.h"

namespace velmora {

std::string parteDaPasta(const std::string& sLocal) {
#ifdef _WIN32
    const auto barra = sLocal.find_last_of("\\/");
#else
    const auto barra = sLocal.rfind('/');
#endif
    if (barra == std::string::npos) return {};
    return sLocal.substr(0, barra + 1);
}

std::vector<std::string> padroesDoLocal(const std::string& sLocal) {
    std::vector<std::string> padroes;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t fim = sLocal.find(';', inicio);
        std::string peca = sLocal.substr(inicio, fim == std::string::npos ? fim : fim - inicio);
        if (!peca.empty()) padroes.push_back(std::move(peca));
        if (fim == std::string::npos) return padroes;
        inicio = fim + 1;
    }
}

std::string nomeBackup(const std::string& nome) {
    const auto ponto = nome.rfind('.');
    if (ponto == std::string::npos) return nome + "_.BAK";
    return nome.substr(0, ponto + 1) + "bak";
}

bool ehBackupDeSi(const std::string& nome) { return igualSemCaixa(nome, nomeBackup(nome)); }

// Greedy matching that only ever backtracks to the last "*": quadratic at worst, never
// exponential.
namespace {

bool casaCuringas(std::string_view padrao, std::string_view nome) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t padraoAposEstrela = std::string_view::npos;
    std::size_t nomeAposEstrela = 0;

    while (n < nome.size()) {
        if (p < padrao.size()) {
            const Unidade up = leUnidade(padrao, p);
            const Unidade un = leUnidade(nome, n);
            if (up.valor == '*') {
                padraoAposEstrela = p + 1;
                nomeAposEstrela = n;
                p = padraoAposEstrela;
                continue;
            }
            if (up.valor == '?' || dobraCaixa(up.valor) == dobraCaixa(un.valor)) {
                p += up.tamanho;
                n += un.tamanho;
                continue;
            }
        }
        if (padraoAposEstrela == std::string_view::npos) return false;
        // Let the last "*" swallow one more character of the name and try again from there.
        nomeAposEstrela += leUnidade(nome, nomeAposEstrela).tamanho;
        n = nomeAposEstrela;
        p = padraoAposEstrela;
    }
    while (p < padrao.size() && padrao[p] == '*') ++p;
    return p == padrao.size();
}

}  // namespace

bool casaPadrao(std::string_view padrao, std::string_view nome) {
    if (casaCuringas(padrao, nome)) return true;
    // As in a Windows folder listing, a trailing ".*" also takes names without an extension, so
    // settings written there as *.* or REL01.* keep their meaning.
    return padrao.size() >= 2 && padrao.ends_with(".*") &&
           nome.find('.') == std::string_view::npos &&
           casaCuringas(padrao.substr(0, padrao.size() - 2), nome);
}

}  // namespace velmora
