#pragma once

#include <string>

#include "spooler/ErroPlataforma.h"

namespace velmora {

// The system's own words for an errno value ("Permission denied").
std::string mensagemSistema(int erro);

// Throws ErroPlataforma with the system's message, after `prefixo` when one is given.
[[noreturn]] void lancaErroSistema(int erro, const std::string& prefixo = {});

// A file descriptor closed when it goes out of scope; for descriptors whose close cannot lose
// data (read-only, or already closed and checked by the owner).
class DescritorArquivo {
  public:
    explicit DescritorArquivo(int fd = -1) : fd_(fd) {}
    ~DescritorArquivo();
    DescritorArquivo(const DescritorArquivo&) = delete;
    DescritorArquivo& operator=(const DescritorArquivo&) = delete;

    int get() const { return fd_; }
    // Gives up ownership; the caller closes.
    int solta() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace velmora
