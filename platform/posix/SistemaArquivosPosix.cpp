#include "platform/posix/SistemaArquivosPosix.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <functional>
#include <utility>

#include "platform/posix/ArquivoEscritaPosix.h"
#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/NomesJob.h"

namespace velmora {

namespace {

constexpr std::int64_t kNsPorSegundo = 1'000'000'000;

// Where leases cannot tell, a file touched this recently may still be growing.
constexpr std::int64_t kJanelaEscritaNs = 2 * kNsPorSegundo;

// Jobs are read in blocks of this size; a job of a few kilobytes takes one read.
constexpr std::size_t kTamanhoBloco = 256 * 1024;

std::int64_t emNs(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kNsPorSegundo + t.tv_nsec;
}

class PastaAberta {
  public:
    explicit PastaAberta(DIR* dir) : dir_(dir) {}
    ~PastaAberta() { ::closedir(dir_); }
    PastaAberta(const PastaAberta&) = delete;
    PastaAberta& operator=(const PastaAberta&) = delete;
    DIR* get() const { return dir_; }

  private:
    DIR* dir_;
};

bool ehArquivoComum(int dirFd, const dirent& entrada) {
    switch (entrada.d_type) {
        case DT_REG:
            return true;
        case DT_UNKNOWN: {
            // Some file systems do not fill d_type.
            struct stat st {};
            if (::fstatat(dirFd, entrada.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
            return S_ISREG(st.st_mode);
        }
        default:
            return false;
    }
}

bool modificadoHaPouco(const struct stat& st) {
    timespec agora{};
    ::clock_gettime(CLOCK_REALTIME, &agora);
    std::int64_t diferenca = emNs(agora) - emNs(st.st_mtim);
    // A shared folder's clock may run ahead of ours: a time far in the future does not hold the
    // job back for good.
    return diferenca > -kJanelaEscritaNs && diferenca < kJanelaEscritaNs;
}

InfoArquivo infoDe(const struct stat& st) {
    return InfoArquivo{static_cast<std::uint64_t>(st.st_size), emNs(st.st_mtim),
                       static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       static_cast<std::uint32_t>(st.st_mode & 07777)};
}

// The lock keeps the job open: the still-being-written check and the reading use that
// descriptor instead of opening the file again.
class TravaFlock : public TravaArquivo {
  public:
    explicit TravaFlock(int fd) : fd_(fd) {}
    std::optional<InfoArquivo> info() const override { return nomeada_; }
    int fd() const { return fd_.get(); }
    void encontrou(const struct stat& nomeada) { nomeada_ = infoDe(nomeada); }

  private:
    DescritorArquivo fd_;  // closing it releases the lock
    std::optional<InfoArquivo> nomeada_;
};

// A writer opening the file while we hold the lease breaks it with a signal, SIGIO by default,
// which would end the program; SIGURG is ignored unless someone asks for it. True when a read
// lease was refused because the file is open for writing; false when it was granted (and is
// released at once), and nothing when this file system or this file takes no lease.
std::optional<bool> abertoParaEscrita(int fd) {
    ::fcntl(fd, F_SETSIG, SIGURG);
    // A read lease is refused while anyone holds the file open for writing.
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    if (errno == EAGAIN) return true;
    return std::nullopt;
}

// Reads `fd` from its start in blocks of `buffer`'s size. A short read of a regular file is its
// end: the cycle compares size and time after the reading, so a file that grew meanwhile is
// caught there.
void leBlocosDe(int fd, std::vector<char>& buffer,
                const std::function<void(std::string_view)>& bloco) {
    off_t posicao = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), posicao);
        if (n < 0) {
            if (errno == EINTR) continue;
            lancaErroSistema(errno);
        }
        if (n == 0) return;
        bloco(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        if (static_cast<std::size_t>(n) < buffer.size()) return;
        posicao += n;
    }
}

bool mesmoInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::vector<std::string> listaPasta(const std::string& pasta, const std::string& componente) {
    std::vector<std::string> nomes;
    DIR* dir = ::opendir(pasta.c_str());
    if (dir == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) return nomes;
        lancaErroSistema(errno);
    }
    PastaAberta aberta(dir);
    int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entrada = ::readdir(dir);
        if (entrada == nullptr) {
            if (errno != 0) lancaErroSistema(errno);
            break;
        }
        if (entrada->d_name[0] == '.') continue;
        // The name first: a folder may hold thousands of unrelated files.
        if (!casaPadrao(componente, entrada->d_name)) continue;
        if (!ehArquivoComum(dirFd, *entrada)) continue;
        nomes.emplace_back(entrada->d_name);
    }
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

// The folder ("." for none) and the last component of a pattern.
std::pair<std::string, std::string> partesDoPadrao(const std::string& padrao) {
    const std::string::size_type barra = padrao.rfind('/');
    if (barra == std::string::npos) return {".", padrao};
    return {padrao.substr(0, barra + 1), padrao.substr(barra + 1)};
}

// A regular file opened for reading, its status in `st` when asked for.
int abreParaLer(const std::string& caminho, struct stat* st = nullptr) {
    // O_NONBLOCK so that a FIFO planted under a job's name cannot hang the open.
    DescritorArquivo fd(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ELOOP) throw ErroPlataforma("é um link simbólico");
        lancaErroSistema(errno);
    }
    struct stat proprio {};
    if (st == nullptr) st = &proprio;
    if (::fstat(fd.get(), st) != 0) lancaErroSistema(errno);
    if (!S_ISREG(st->st_mode)) throw ErroPlataforma("não é um arquivo comum");
    return fd.solta();
}

}  // namespace

std::vector<std::string> SistemaArquivosPosix::lista(const std::string& padrao) {
    const auto partes = partesDoPadrao(padrao);
    const std::string& pasta = partes.first;
    const std::string& componente = partes.second;
    return listagem_.lista(pasta, componente, [&] { return listaPasta(pasta, componente); });
}

std::string SistemaArquivosPosix::leTudo(const std::string& caminho) {
    struct stat st {};
    DescritorArquivo fd(abreParaLer(caminho, &st));

    std::string conteudo;
    // One byte more than the size, so that a file that did not grow is read with one read more.
    conteudo.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t lidos = 0;
    for (;;) {
        if (lidos == conteudo.size()) conteudo.resize(conteudo.size() * 2);
        ssize_t n = ::read(fd.get(), conteudo.data() + lidos, conteudo.size() - lidos);
        if (n < 0) {
            if (errno == EINTR) continue;
            lancaErroSistema(errno);
        }
        if (n == 0) break;
        lidos += static_cast<std::size_t>(n);
    }
    conteudo.resize(lidos);
    return conteudo;
}

void SistemaArquivosPosix::leEmBlocos(const std::string& caminho, TravaArquivo* trava,
                                      const std::function<void(std::string_view)>& bloco) {
    if (buffer_.empty()) buffer_.resize(kTamanhoBloco);
    const auto* flock = dynamic_cast<const TravaFlock*>(trava);
    if (flock != nullptr && flock->info()) {
        leBlocosDe(flock->fd(), buffer_, bloco);
        return;
    }
    DescritorArquivo fd(abreParaLer(caminho));
    leBlocosDe(fd.get(), buffer_, bloco);
}

std::optional<std::string> SistemaArquivosPosix::proximoNome(const std::string& padrao,
                                                             const std::string& depoisDe) {
    const auto partes = partesDoPadrao(padrao);
    const std::string& pasta = partes.first;
    const std::string& componente = partes.second;
    return listagem_.proximo(pasta, componente, depoisDe,
                             [&] { return listaPasta(pasta, componente); });
}

std::optional<InfoArquivo> SistemaArquivosPosix::info(const std::string& caminho) {
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        lancaErroSistema(errno);
    }
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    return infoDe(st);
}

bool SistemaArquivosPosix::emEscrita(const std::string& caminho) {
    DescritorArquivo fd(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    // The reader will report why the file cannot be opened.
    if (fd.get() < 0) return false;

    return emEscritaAberto(fd.get());
}

bool SistemaArquivosPosix::emEscritaPelaTrava(const std::string& caminho, TravaArquivo& trava) {
    auto* flock = dynamic_cast<TravaFlock*>(&trava);
    if (flock == nullptr) return emEscrita(caminho);
    return emEscritaAberto(flock->fd());
}

bool SistemaArquivosPosix::emEscritaAberto(int fd) {
    if (const std::optional<bool> aberto = abertoParaEscrita(fd)) return *aberto;
    // No lease here (a file of another user, a file system without leases): go by the time.
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    return modificadoHaPouco(st);
}

bool SistemaArquivosPosix::existe(const std::string& caminho) {
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return false;
        lancaErroSistema(errno);
    }
    return !S_ISDIR(st.st_mode);
}

bool SistemaArquivosPosix::existePasta(const std::string& pasta) {
    struct stat st {};
    if (::stat(pasta.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return false;
        lancaErroSistema(errno);
    }
    return S_ISDIR(st.st_mode);
}

void SistemaArquivosPosix::exclui(const std::string& caminho) {
    if (::unlink(caminho.c_str()) != 0) lancaErroSistema(errno);
}

void SistemaArquivosPosix::renomeia(const std::string& de, const std::string& para) {
    if (::rename(de.c_str(), para.c_str()) != 0) lancaErroSistema(errno);
}

std::unique_ptr<TravaArquivo> SistemaArquivosPosix::trava(const std::string& caminho) {
    int aberto = ::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (aberto < 0) {
        // Gone between the listing and now: another spooler has just handled it.
        if (errno == ENOENT) return nullptr;
        if (errno == ELOOP) throw ErroPlataforma("é um link simbólico");
        lancaErroSistema(errno);
    }
    auto trava = std::make_unique<TravaFlock>(aberto);
    if (::flock(aberto, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return nullptr;
        // A share without flock: printing matters more than keeping a second spooler out.
        if (errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) lancaErroSistema(errno);
    }
    // The lock holds the file we opened; the name must still lead to it, or whoever held the lock
    // before us has already printed and removed (or replaced) that job.
    struct stat aberta {};
    struct stat nomeada {};
    if (::fstat(aberto, &aberta) != 0) lancaErroSistema(errno);
    if (::lstat(caminho.c_str(), &nomeada) != 0) {
        if (errno == ENOENT) return nullptr;
        lancaErroSistema(errno);
    }
    if (!mesmoInode(aberta, nomeada) || aberta.st_nlink == 0) return nullptr;
    // Only a regular file is read through the lock; anything else is left to leTudo's checks.
    if (S_ISREG(aberta.st_mode)) trava->encontrou(nomeada);
    return trava;
}

std::unique_ptr<ArquivoEscrita> SistemaArquivosPosix::criaExclusivo(const std::string& caminho) {
    int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) lancaErroSistema(errno);
    return std::make_unique<ArquivoEscritaPosix>(fd);
}

std::uint64_t SistemaArquivosPosix::idProcesso() { return processo_; }

}  // namespace velmora
