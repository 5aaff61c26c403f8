#pragma once

#include <deque>
#include <map>
#include <stdexcept>
#include <string>

#include "spooler/ErroPlataforma.h"
#include "spooler/SistemaArquivos.h"

namespace velmora::teste {

// Files held in memory, for the reader. Only leTudo is real: any other operation is a fault of
// the test that calls it.
class ArquivosEmMemoria : public SistemaArquivos {
  public:
    std::map<std::string, std::string> arquivos;  // full path -> bytes
    // Reasons of the next failing reads, used up one per leTudo before the file is looked at.
    std::deque<std::string> falhasLeitura;
    int leituras = 0;

    std::string leTudo(const std::string& caminho) override {
        ++leituras;
        if (!falhasLeitura.empty()) {
            const std::string motivo = falhasLeitura.front();
            falhasLeitura.pop_front();
            throw ErroPlataforma(motivo);
        }
        const auto achado = arquivos.find(caminho);
        if (achado == arquivos.end()) {
            throw ErroPlataforma(caminho + ": No such file or directory");
        }
        return achado->second;
    }

    std::vector<std::string> lista(const std::string&) override { naoUsado("lista"); }
    std::optional<InfoArquivo> info(const std::string&) override { naoUsado("info"); }
    bool emEscrita(const std::string&) override { naoUsado("emEscrita"); }
    bool existe(const std::string&) override { naoUsado("existe"); }
    bool existePasta(const std::string&) override { naoUsado("existePasta"); }
    std::uint64_t idProcesso() override { naoUsado("idProcesso"); }
    void exclui(const std::string&) override { naoUsado("exclui"); }
    void renomeia(const std::string&, const std::string&) override { naoUsado("renomeia"); }
    std::unique_ptr<TravaArquivo> trava(const std::string&) override { naoUsado("trava"); }
    std::unique_ptr<ArquivoEscrita> criaExclusivo(const std::string&) override {
        naoUsado("criaExclusivo");
    }

  private:
    [[noreturn]] static void naoUsado(const char* operacao) {
        throw std::logic_error(std::string("ArquivosEmMemoria::") + operacao + " não é usado aqui");
    }
};

}  // namespace velmora::teste
