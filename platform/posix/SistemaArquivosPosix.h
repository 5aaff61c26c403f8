#pragma once

#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/ListagemVigiada.h"
#include "spooler/SistemaArquivos.h"

namespace velmora {

// The watched folder on a POSIX file system. Failures throw ErroPlataforma carrying the system's
// message; the caller puts the path in front.
class SistemaArquivosPosix : public SistemaArquivos {
  public:
    // Regular, non-hidden files only, sorted by name (byte order) so that jobs are taken in a
    // predictable order whatever order the file system keeps.
    std::vector<std::string> lista(const std::string& padrao) override;
    std::string leTudo(const std::string& caminho) override;
    // Through the lock's descriptor when it holds the job, in blocks of a buffer kept for the
    // next job.
    void leEmBlocos(const std::string& caminho, TravaArquivo* trava,
                    const std::function<void(std::string_view)>& bloco) override;
    std::optional<std::string> proximoNome(const std::string& padrao,
                                           const std::string& depoisDe) override;
    std::optional<InfoArquivo> info(const std::string& caminho) override;
    bool emEscrita(const std::string& caminho) override;
    // The lease is asked on the lock's own descriptor.
    bool emEscritaPelaTrava(const std::string& caminho, TravaArquivo& trava) override;
    bool existe(const std::string& caminho) override;
    bool existePasta(const std::string& pasta) override;
    void exclui(const std::string& caminho) override;
    void renomeia(const std::string& de, const std::string& para) override;
    // flock(2): only other spoolers that take it too are kept out, writers are not.
    std::unique_ptr<TravaArquivo> trava(const std::string& caminho) override;
    std::unique_ptr<ArquivoEscrita> criaExclusivo(const std::string& caminho) override;
    std::uint64_t idProcesso() override;

  private:
    bool emEscritaAberto(int fd);

    ListagemVigiada listagem_;
    std::vector<char> buffer_;
    // Asked once: the spooler never forks, and every job's temporary name needs it.
    std::uint64_t processo_ = static_cast<std::uint64_t>(::getpid());
};

}  // namespace velmora
