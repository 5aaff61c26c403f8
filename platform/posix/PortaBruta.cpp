#include "platform/posix/PortaBruta.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/cups/FilasCups.h"
#include "platform/posix/ArquivoEscritaPosix.h"
#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

// Raw jobs can be large: copied through a buffer of constant size.
constexpr std::size_t kTamanhoBloco = 1024 * 1024;

bool ehCaminhoDeDispositivo(const std::string& porta) { return porta.rfind("/dev/", 0) == 0; }

// Between two plain files the kernel copies the bytes without passing them through us. False,
// with nothing copied, where it cannot (another file system, an old kernel).
bool copiaNoNucleo(int origem, int destino, off_t& copiados, const std::string& prefixo) {
    for (;;) {
        const ssize_t n =
            ::copy_file_range(origem, nullptr, destino, nullptr, kTamanhoBloco * 64, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (copiados == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                  errno == EOPNOTSUPP || errno == EBADF)) {
                return false;
            }
            lancaErroSistema(errno, prefixo);
        }
        if (n == 0) return true;
        copiados += n;
    }
}

}  // namespace

void copiaParaPorta(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo) {
    std::string prefixo = "porta " + porta;
    // Queue names never hold "/": a path is never looked up among the queues.
    if (porta.find('/') == std::string::npos) {
        if (existeFilaCups(porta)) {
            enviaArquivoCups(porta, arquivo, titulo, CUPS_FORMAT_RAW);
            return;
        }
        // A queue that is gone, or a CUPS that is down, must not turn the job into a new file in
        // the current folder reported as printed. A bare name still reaches a file prepared there.
        if (::access(porta.c_str(), F_OK) != 0) {
            throw ErroPlataforma(prefixo +
                                 ": não é uma fila do CUPS (o servidor está no ar?) nem um "
                                 "arquivo existente");
        }
    }

    DescritorArquivo origem(::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC));
    if (origem.get() < 0) lancaErroSistema(errno, "arquivo " + arquivo);

    // A device that is not there (a printer unplugged) must fail, not become a file in /dev.
    int criacao = ehCaminhoDeDispositivo(porta) ? 0 : O_CREAT;
    // O_NONBLOCK so that a FIFO without a reader fails at once instead of hanging.
    int fd = ::open(porta.c_str(), O_WRONLY | criacao | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) lancaErroSistema(errno, prefixo);
    DescritorArquivo destino(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) lancaErroSistema(errno, prefixo);
    // A plain file is overwritten and then cut to the job's length: the same bytes as truncating
    // it first, but ext4 flushes and frees the blocks of a file truncated to zero, which cost
    // milliseconds per job. A file no longer than the job needs no cut.
    const bool arquivoComum = S_ISREG(st.st_mode);
    const auto cortaAoJob = [&](off_t copiados) {
        if (arquivoComum && st.st_size > copiados && ::ftruncate(fd, copiados) != 0) {
            lancaErroSistema(errno, prefixo);
        }
    };
    // A plain file never blocks; a device or a FIFO that has its reader is written blocking.
    if (!arquivoComum) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
            lancaErroSistema(errno, prefixo);
        }
    }

    off_t copiados = 0;
    if (arquivoComum && copiaNoNucleo(origem.get(), fd, copiados, prefixo)) {
        cortaAoJob(copiados);
        if (::close(destino.solta()) != 0) lancaErroSistema(errno, prefixo);
        return;
    }

    // Not zeroed: filling a megabyte per job cost more than copying a small job.
    std::unique_ptr<char[]> bloco(new char[kTamanhoBloco]);
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
        copiados += n;
    }
    cortaAoJob(copiados);
    // A file on a network share reports a failed write only here.
    if (::close(destino.solta()) != 0) lancaErroSistema(errno, prefixo);
}

}  // namespace velmora
