#include "platform/posix/ArquivoEscritaPosix.h"

#include <unistd.h>

#include <cerrno>

#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {
constexpr std::size_t kTamanhoBuffer = 64 * 1024;
}

void escreveTudo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            lancaErroSistema(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

ArquivoEscritaPosix::ArquivoEscritaPosix(int fd) : fd_(fd) { buffer_.reserve(kTamanhoBuffer); }

ArquivoEscritaPosix::~ArquivoEscritaPosix() {
    if (fd_ >= 0) ::close(fd_);
}

void ArquivoEscritaPosix::escreve(std::string_view bytes) {
    if (fd_ < 0) throw ErroPlataforma("arquivo já fechado");
    if (!falha_.empty()) throw ErroPlataforma(falha_);
    if (buffer_.size() + bytes.size() <= kTamanhoBuffer) {
        buffer_.append(bytes);
        return;
    }
    descarrega();
    if (bytes.size() >= kTamanhoBuffer) {
        grava(bytes);
    } else {
        buffer_.append(bytes);
    }
}

void ArquivoEscritaPosix::descarrega() {
    grava(buffer_);
    buffer_.clear();
}

void ArquivoEscritaPosix::grava(std::string_view bytes) {
    try {
        escreveTudo(fd_, bytes);
    } catch (const ErroPlataforma& e) {
        // Bytes are missing from here on: every later write and the close must say so too.
        falha_ = e.what();
        throw;
    }
}

void ArquivoEscritaPosix::fecha() {
    if (fd_ < 0) {
        if (!falha_.empty()) throw ErroPlataforma(falha_);
        return;
    }
    int fd = fd_;
    try {
        if (falha_.empty()) descarrega();
    } catch (const ErroPlataforma&) {
        // Kept in falha_ and reported once the descriptor is closed.
    }
    // Never retried, not even after EINTR: on Linux the descriptor is gone either way.
    fd_ = -1;
    int resultado = ::close(fd);
    int erro = errno;
    if (!falha_.empty()) throw ErroPlataforma(falha_);
    if (resultado != 0) lancaErroSistema(erro);
}

}  // namespace velmora
