#include "platform/posix/GuardaEstadoPosix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/posix/ArquivoEscritaPosix.h"
#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr const char* kNome = "VELMORA.ESTADO";

}  // namespace

std::string GuardaEstadoPosix::caminho() const {
    const std::filesystem::path ini(sArquivoIni_);
    std::string pasta = ini.parent_path().string();
    if (pasta.empty()) pasta = ".";
    if (::access(pasta.c_str(), W_OK) == 0) return pasta + "/" + kNome;
    return pastaReserva_ + "/" + kNome;
}

std::string GuardaEstadoPosix::le() {
    const std::string arquivo = caminho();
    DescritorArquivo fd(::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        if (errno == ENOENT) return {};
        lancaErroSistema(errno, arquivo);
    }
    std::string texto;
    char bloco[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), bloco, sizeof bloco);
        if (n < 0) {
            if (errno == EINTR) continue;
            lancaErroSistema(errno, arquivo);
        }
        if (n == 0) return texto;
        texto.append(bloco, static_cast<std::size_t>(n));
    }
}

void GuardaEstadoPosix::grava(const std::string& texto) {
    const std::string arquivo = caminho();
    std::error_code erro;
    std::filesystem::create_directories(std::filesystem::path(arquivo).parent_path(), erro);
    // Each process its own new file, so two spoolers writing at once never mix their lines.
    const std::string novo = arquivo + "." + std::to_string(::getpid());
    const int fd =
        ::open(novo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) lancaErroSistema(errno, novo);
    try {
        ArquivoEscritaPosix saida(fd);
        saida.escreve(texto);
        saida.fecha();
    } catch (const ErroPlataforma& e) {
        ::unlink(novo.c_str());
        throw ErroPlataforma(novo + ": " + e.what());
    }
    if (::rename(novo.c_str(), arquivo.c_str()) != 0) {
        const int codigo = errno;
        ::unlink(novo.c_str());
        lancaErroSistema(codigo, arquivo);
    }
}

}  // namespace velmora
