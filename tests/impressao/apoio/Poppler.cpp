#include "Poppler.h"

#include <sys/wait.h>
#include <cstdio>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace velmora::teste {

std::string aspas(const std::string& texto) {
    std::string r = "'";
    for (char c : texto) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

std::string executa(const std::string& comando) {
    FILE* saida = popen(comando.c_str(), "r");
    if (!saida) throw std::runtime_error("não executou: " + comando);
    std::string texto;
    char bloco[4096];
    for (size_t n; (n = fread(bloco, 1, sizeof bloco, saida)) > 0;) texto.append(bloco, n);
    const int estado = pclose(saida);
    if (estado == -1 || !WIFEXITED(estado) || WEXITSTATUS(estado) != 0) {
        throw std::runtime_error("falhou: " + comando + "\n" + texto);
    }
    return texto;
}

std::vector<std::string> paginasPdf(const std::string& pdf) {
    const std::string texto = executa("pdftotext -layout " + aspas(pdf) + " -");
    std::vector<std::string> paginas;
    std::string::size_type inicio = 0;
    for (std::string::size_type ff; (ff = texto.find('\f', inicio)) != std::string::npos;) {
        paginas.push_back(texto.substr(inicio, ff - inicio));
        inicio = ff + 1;
    }
    return paginas;  // pdftotext ends every page, the last one too, with a form feed
}

std::vector<std::string> fontesPdf(const std::string& pdf) {
    std::istringstream linhas(executa("pdffonts " + aspas(pdf)));
    std::vector<std::string> fontes;
    std::string linha;
    for (int n = 0; std::getline(linhas, linha); ++n) {
        if (n < 2 || linha.empty()) continue;  // header and rule
        std::string nome = linha.substr(0, linha.find(' '));
        if (nome.size() > 7 && nome[6] == '+') nome.erase(0, 7);
        fontes.push_back(nome);
    }
    return fontes;
}

std::string campoPdf(const std::string& pdf, const std::string& campo) {
    std::istringstream linhas(executa("pdfinfo " + aspas(pdf)));
    std::string linha;
    while (std::getline(linhas, linha)) {
        if (linha.rfind(campo + ":", 0) != 0) continue;
        const auto valor = linha.find_first_not_of(' ', campo.size() + 1);
        return valor == std::string::npos ? "" : linha.substr(valor);
    }
    return "";
}

namespace {

std::string semEntidades(std::string s) {
    const std::pair<const char*, const char*> entidades[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [de, para] : entidades) {
        for (auto p = s.find(de); p != std::string::npos; p = s.find(de, p + 1)) {
            s.replace(p, std::string(de).size(), para);
        }
    }
    return s;
}

}  // namespace

std::vector<Palavra> palavrasPdf(const std::string& pdf) {
    const std::string html = executa("pdftotext -bbox " + aspas(pdf) + " -");
    static const std::regex marca(
        R"re(<page |<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::vector<Palavra> palavras;
    int pagina = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), marca), fim; it != fim; ++it) {
        const std::smatch& m = *it;
        if (!m[1].matched) {
            ++pagina;
            continue;
        }
        palavras.push_back({pagina, semEntidades(m[5]), std::stod(m[1]), std::stod(m[2]),
                            std::stod(m[3]), std::stod(m[4])});
    }
    return palavras;
}

Palavra palavra(const std::vector<Palavra>& palavras, const std::string& texto) {
    for (const Palavra& p : palavras) {
        if (p.texto == texto) return p;
    }
    throw std::runtime_error("a palavra \"" + texto + "\" não está no PDF");
}

std::vector<std::string> linhasCheias(const std::string& pagina) {
    std::istringstream entrada(pagina);
    std::vector<std::string> linhas;
    std::string linha;
    while (std::getline(entrada, linha)) {
        linha.erase(linha.find_last_not_of(" \r") + 1);
        if (!linha.empty()) linhas.push_back(linha);
    }
    return linhas;
}

}  // namespace velmora::teste
