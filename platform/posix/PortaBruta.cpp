#include "platform/posix/PortaBruta.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/posix/ArquivoEscritaPosix.h"
#include "platform/posix/ErroSistema.h"
#include "platform/posix/FilasCups.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

// Raw jobs can be large: copied through a buffer of constant size.
constexpr std::size_t kTamanhoBloco = 1024 * 1024;

bool ehCaminhoDeDispositivo(const std::string& porta) { return porta.rfind("/dev/", 0) == 0; }

}  // namespace

void copiaParaPorta(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo) {
    // Queue names never hold "/": a path is never looked up among the queues.
    if (porta.find('/') == std::string::npos && existeFilaCups(porta)) {
        enviaArquivoCups(porta, arquivo, titulo, CUPS_FORMAT_RAW);
        return;
    }

    std::string prefixo = "porta " + porta;
    DescritorArquivo origem(::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC));
    if (origem.get() < 0) lancaErroSistema(errno, "arquivo " + arquivo);

    // A device that is not there (a printer unplugged) must fail, not become a file in /dev.
    int criacao = ehCaminhoDeDispositivo(porta) ? 0 : O_CREAT | O_TRUNC;
    // O_NONBLOCK so that a FIFO without a reader fails at once instead of hanging.
    int fd = ::open(porta.c_str(), O_WRONLY | criacao | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) lancaErroSistema(errno, prefixo);
    DescritorArquivo destino(fd);
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        lancaErroSistema(errno, prefixo);
    }

    auto bloco = std::make_unique<char[]>(kTamanhoBloco);
    for (;;) {
        ssize_t n = ::read(origem.get(), bloco.get(), kTamanhoBloco);
        if (n < 0) {
            if (errno == EINTR) continue;
            lancaErroSistema(errno, "arquivo " + arquivo);
        }
        if (n == 0) break;
        try {
            escreveTudo(fd, std::string_view(bloco.get(), static_cast<std::size_t>(n)));
        } catch (const ErroPlataforma& e) {
            throw ErroPlataforma(prefixo + ": " + e.what());
        }
    }
    // A file on a network share reports a failed write only here.
    if (::close(destino.solta()) != 0) lancaErroSistema(errno, prefixo);
}

}  // namespace velmora
