#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/DecodificadorIconv.h"
#include "platform/posix/SistemaArquivosPosix.h"
#include "spooler/CicloImpressao.h"
#include "spooler/apoio/ImpressoraGravadora.h"
#include "spooler/apoio/PerguntaFixa.h"
#include "spooler/apoio/RelogioFixo.h"

namespace velmora::teste {

// Whole content of a file, read in large blocks: jobs here reach 100 MB.
std::string leInteiro(const std::string& caminho);

// The recording printer, reading the raw copy in large blocks.
class ImpressoraGravadoraGrande : public ImpressoraGravadora {
  public:
    void copiaBruto(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo) override;
};

// A real watched folder under the system's temporary folder, the real file system and iconv, and
// the cycle printing onto a recording printer. The folder goes away with the object.
class Bancada {
  public:
    Bancada();
    ~Bancada();
    Bancada(const Bancada&) = delete;
    Bancada& operator=(const Bancada&) = delete;

    // The folder with a trailing "/".
    const std::string& pasta() const { return pasta_; }
    std::string caminho(std::string_view nome) const { return pasta_ + std::string(nome); }

    // Writes a finished job (its time well in the past, so that nobody takes it for one still
    // being written).
    void escreve(const std::string& nome, std::string_view conteudo) const;
    std::string le(const std::string& nome) const;
    // Names in the folder, hidden ones included, sorted.
    std::vector<std::string> naPasta() const;

    // One tick of the cycle over sLocal = folder + padrao.
    ResumoCiclo tique(const std::string& padrao);

    // The lines printed for the job named `titulo`, in UTF-8, in order.
    std::vector<std::string> linhasImpressas(const std::string& titulo) const;
    // Log messages, oldest first.
    std::vector<std::string> mensagens;

    Valores valores;
    ImpressoraGravadoraGrande impressora;
    PerguntaFixa pergunta{false};
    RelogioFixo relogio;
    SistemaArquivosPosix arquivos;
    std::unique_ptr<DecodificadorIconv> decodificador;

  private:
    std::string pasta_;
};

}  // namespace velmora::teste
