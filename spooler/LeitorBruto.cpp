#include "LeitorBruto.h"

#include <cstring>
#include <exception>

#include "ErroPlataforma.h"

namespace velmora {

namespace {

constexpr std::string_view kFimDeLinha = "\r\n";

// Turns the job's bytes into the raw output as they come: only CR ends a line (CR LF counts as
// one end, a lone LF belongs to the line), and every line, the last one too, ends in CR LF.
class LinhasBrutas {
  public:
    explicit LinhasBrutas(const std::function<void(std::string_view)>& destino)
        : destino_(destino) {}

    void recebe(std::string_view bytes) {
        if (bytes.empty()) return;
        // A CR at the end of the last block waited to see what follows it.
        if (crPendente_ && bytes.front() != '\n') destino_("\n");
        crPendente_ = false;
        std::size_t inicio = 0;  // of what is still to be handed on
        std::size_t busca = 0;
        for (;;) {
            const void* achado = std::memchr(bytes.data() + busca, '\r', bytes.size() - busca);
            if (achado == nullptr) break;
            const auto cr =
                static_cast<std::size_t>(static_cast<const char*>(achado) - bytes.data());
            if (cr + 1 == bytes.size()) {
                crPendente_ = true;
                break;
            }
            busca = cr + 1;
            if (bytes[cr + 1] == '\n') continue;
            destino_(bytes.substr(inicio, cr + 1 - inicio));
            destino_("\n");
            inicio = cr + 1;
        }
        destino_(bytes.substr(inicio));
        const std::size_t n = bytes.size();
        terminaEmLinha_ = bytes.back() == '\r' ||
                          (bytes.back() == '\n' && (n >= 2 ? bytes[n - 2] == '\r' : crAntes_));
        crAntes_ = bytes.back() == '\r';
        vazio_ = false;
    }

    // An empty job has no line; any other ends in CR LF.
    void termina() {
        if (crPendente_) {
            destino_("\n");
        } else if (!vazio_ && !terminaEmLinha_) {
            destino_(kFimDeLinha);
        }
    }

  private:
    const std::function<void(std::string_view)>& destino_;
    bool vazio_ = true;
    bool crPendente_ = false;
    bool crAntes_ = false;  // the last block ended in CR
    bool terminaEmLinha_ = false;
};

}  // namespace

std::optional<std::string> le_linhas_brutas(const std::string& sRota, const std::string& strArquivo,
                                            SistemaArquivos& arquivos, TravaArquivo* trava,
                                            const std::function<void(std::string_view)>& destino) {
    // Only a failure of the reading is the reader's to report; one of the destination goes on.
    std::exception_ptr falhaDestino;
    const std::function<void(std::string_view)> entrega = [&](std::string_view bytes) {
        try {
            destino(bytes);
        } catch (...) {
            falhaDestino = std::current_exception();
            throw;
        }
    };
    LinhasBrutas linhas(entrega);
    try {
        arquivos.leEmBlocos(sRota + strArquivo, trava,
                            [&](std::string_view bloco) { linhas.recebe(bloco); });
        linhas.termina();
    } catch (const ErroPlataforma& erro) {
        if (falhaDestino) std::rethrow_exception(falhaDestino);
        return std::string(erro.what());
    }
    return std::nullopt;
}

std::string perguntaDeReleitura(const std::string& caminho) {
    return "Deu erro ao abrir o arquivo " + caminho + ". Tentar novamente ?";
}

}  // namespace velmora
