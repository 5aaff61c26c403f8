#include "app/Ambiente.h"

#include <cstdlib>

#include "spooler/ErroPlataforma.h"

namespace velmora {

std::string variavel(const char* nome) {
    const char* valor = std::getenv(nome);
    return valor != nullptr ? valor : "";
}

std::optional<LinguagemCodigos> codigosDoAmbiente() {
    const std::string valor = variavel("VELMORA_CODIGOS");
    if (valor.empty()) return std::nullopt;
    const std::optional<LinguagemCodigos> linguagem = linguagemPorNome(valor);
    if (!linguagem) {
        throw ErroPlataforma("VELMORA_CODIGOS: linguagem desconhecida: " + valor +
                             " (use epson, ibm, pcl ou nenhum)");
    }
    return linguagem;
}

}  // namespace velmora
