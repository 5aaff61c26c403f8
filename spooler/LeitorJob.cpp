#include "LeitorJob.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "ErroPlataforma.h"

namespace velmora {

namespace {

constexpr std::size_t kMaiorLargura = std::numeric_limits<std::int16_t>::max();

// One whole attempt: the job text of `bytes`, the widest line measured into iMaiorLinha as it
// goes (so a failure half way leaves what was measured until then).
std::string montaTexto(const std::string& bytes, Valores& valores,
                       const Decodificador& decodificador) {
    const std::string codigo = decodificador.escolhe(bytes);

    std::string texto;
    const auto retornos = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    texto.reserve(bytes.size() + 2 * (retornos + 1));

    // Only CR ends a line of the text (CR LF counts as one end); a lone LF belongs to the line,
    // though on paper it starts a new one, which the width measure knows.
    std::string_view resto = bytes;
    while (!resto.empty()) {
        const auto fim = resto.find('\r');
        const std::string_view linha = resto.substr(0, fim);
        texto += "\r\n";
        texto += linha;

        // Longer lines are measured as the widest the font rule knows, not refused.
        const std::size_t n = std::min(decodificador.larguraImpressa(linha, codigo), kMaiorLargura);
        if (static_cast<std::int16_t>(n) > valores.iMaiorLinha) {
            valores.iMaiorLinha = static_cast<std::int16_t>(n);
        }

        if (fim == std::string_view::npos) break;
        std::size_t salto = 1;
        if (fim + 1 < resto.size() && resto[fim + 1] == '\n') salto = 2;
        resto.remove_prefix(fim + salto);
    }
    return texto;
}

}  // namespace

JobLido le_conteudo(const std::string& sRota, const std::string& strArquivo, Valores& valores,
                    SistemaArquivos& arquivos, const Decodificador& decodificador,
                    Pergunta& pergunta) {
    const std::string caminho = sRota + strArquivo;
    while (true) {
        valores.iMaiorLinha = 0;
        try {
            // Every attempt starts from nothing, so a retry never repeats lines.
            std::string texto = montaTexto(arquivos.leTudo(caminho), valores, decodificador);
            return JobLido{true, std::move(texto), ""};
        } catch (const ErroPlataforma& erro) {
            if (!pergunta.sim("Deu erro ao abrir o arquivo " + caminho + ". Tentar novamente ?")) {
                return JobLido{false, "", erro.what()};
            }
        }
    }
}

}  // namespace velmora
