#pragma once

#include "spooler/SistemaArquivos.h"

namespace velmora {

// Job files through the Win32 API. Paths are UTF-8 and may use "\" or "/". Hidden and system
// files and reparse points (links, junctions) count as no job, as folders do. A file still held
// open for writing by its writer refuses an open that denies writers: that is "still being
// written". The lock is a byte range of a hidden file beside the job ("~NAME.velmora-trava",
// removed with its last handle), so the job itself stays free to be read, renamed and deleted.
class SistemaArquivosWin32 : public SistemaArquivos {
  public:
    std::vector<std::string> lista(const std::string& padrao) override;
    std::string leTudo(const std::string& caminho) override;
    std::optional<InfoArquivo> info(const std::string& caminho) override;
    bool emEscrita(const std::string& caminho) override;
    bool existe(const std::string& caminho) override;
    bool existePasta(const std::string& pasta) override;
    void exclui(const std::string& caminho) override;
    void renomeia(const std::string& de, const std::string& para) override;
    std::unique_ptr<TravaArquivo> trava(const std::string& caminho) override;
    std::unique_ptr<ArquivoEscrita> criaExclusivo(const std::string& caminho) override;
    std::uint64_t idProcesso() override;
};

}  // namespace velmora
