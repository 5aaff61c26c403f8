#include "LeitorJob.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "ErroPlataforma.h"

namespace velmora {

namespace {

constexpr std::size_t kMaiorLargura = std::numeric_limits<std::int16_t>::max();

// A lone CR followed by more text is a second pass over the same line, kept in the line for the
// printer codes to overprint. Only on the printer path, and only in a job whose lines end in LF:
// where CR alone ends every line, it still ends them.
bool mantemSobreposicao(std::string_view bytes, const Valores& valores) {
    return !ligado(valores.sParalela) && valores.codigos != LinguagemCodigos::nenhum &&
           bytes.find('\n') != std::string_view::npos;
}

// Longer lines are measured as the widest the font rule knows, not refused.
void medeLinha(std::string_view linha, const std::string& codigo, Valores& valores,
               const Decodificador& decodificador) {
    const std::size_t n = std::min(decodificador.larguraImpressa(linha, codigo), kMaiorLargura);
    if (static_cast<std::int16_t>(n) > valores.iMaiorLinha) {
        valores.iMaiorLinha = static_cast<std::int16_t>(n);
    }
}

// One whole attempt: the job text of `bytes`, the widest line measured into iMaiorLinha as it
// goes (so a failure half way leaves what was measured until then).
std::string montaTexto(const std::string& bytes, Valores& valores,
                       const Decodificador& decodificador) {
    const std::string codigo = decodificador.escolhe(bytes);

    std::string texto;
    const auto retornos = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    texto.reserve(bytes.size() + 2 * (retornos + 1));

    const bool sobreposicao = mantemSobreposicao(bytes, valores);

    // Only CR ends a line of the text (CR LF counts as one end); a lone LF belongs to the line,
    // though on paper it starts a new one, which the width measure knows.
    std::string_view resto = bytes;
    while (!resto.empty()) {
        auto fim = resto.find('\r');
        std::size_t inicioPassada = 0;
        while (sobreposicao && fim != std::string_view::npos && fim + 1 < resto.size() &&
               resto[fim + 1] != '\r' && resto[fim + 1] != '\n') {
            medeLinha(resto.substr(inicioPassada, fim - inicioPassada), codigo, valores,
                      decodificador);
            inicioPassada = fim + 1;
            fim = resto.find('\r', inicioPassada);
        }
        const std::string_view linha = resto.substr(0, fim);
        texto += "\r\n";
        texto += linha;
        medeLinha(linha.substr(inicioPassada), codigo, valores, decodificador);

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
