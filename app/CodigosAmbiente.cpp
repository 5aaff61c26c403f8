#include "app/CodigosAmbiente.h"

#include <cstdlib>
#include <string>

#include "spooler/ErroPlataforma.h"

namespace velmora {

std::optional<LinguagemCodigos> codigosDoAmbiente() {
    const char* valor = std::getenv("VELMORA_CODIGOS");
    if (!valor || !*valor) return std::nullopt;
    const std::optional<LinguagemCodigos> linguagem = linguagemPorNome(valor);
    if (!linguagem) {
        throw ErroPlataforma(std::string("VELMORA_CODIGOS: linguagem desconhecida: ") + valor +
                             " (use epson, ibm, pcl ou nenhum)");
    }
    return linguagem;
}

}  // namespace velmora
