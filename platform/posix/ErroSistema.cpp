#include "platform/posix/ErroSistema.h"

#include <unistd.h>

#include <cstring>

namespace velmora {

std::string mensagemSistema(int erro) {
    char buffer[256];
    // GNU strerror_r: may return a static text instead of filling the buffer.
    return ::strerror_r(erro, buffer, sizeof buffer);
}

void lancaErroSistema(int erro, const std::string& prefixo) {
    if (prefixo.empty()) throw ErroPlataforma(mensagemSistema(erro));
    throw ErroPlataforma(prefixo + ": " + mensagemSistema(erro));
}

DescritorArquivo::~DescritorArquivo() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace velmora
