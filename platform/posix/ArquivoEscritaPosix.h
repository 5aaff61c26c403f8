#pragma once

#include <string>
#include <string_view>

#include "spooler/SistemaArquivos.h"

namespace velmora {

// Buffered writes onto an open descriptor, which it owns. Every failure (a full disk, an I/O
// error, a failed close) throws, and after a failed write every later call throws it again, so a
// file with a hole is never closed as if it were whole. The destructor closes quietly when
// fecha() was not called.
class ArquivoEscritaPosix : public ArquivoEscrita {
  public:
    explicit ArquivoEscritaPosix(int fd);
    ~ArquivoEscritaPosix() override;
    ArquivoEscritaPosix(const ArquivoEscritaPosix&) = delete;
    ArquivoEscritaPosix& operator=(const ArquivoEscritaPosix&) = delete;

    void escreve(std::string_view bytes) override;
    void fecha() override;

  private:
    void descarrega();
    void grava(std::string_view bytes);

    int fd_;
    std::string buffer_;
    std::string falha_;  // the first failed write, reported again until the end
};

// Writes all of `bytes`, going on after short writes and interruptions; throws on failure.
void escreveTudo(int fd, std::string_view bytes);

}  // namespace velmora
