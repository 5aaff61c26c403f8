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

#include "platform/posix/ArquivoEscritaPosix.h"
#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/NomesJob.h"

namespace velmora {

namespace {

constexpr std::int64_t kNsPorSegundo = 1'000'000'000;

// Where leases cannot tell, a file touched this recently may still be growing.
constexpr std::int64_t kJanelaEscritaNs = 2 * kNsPorSegundo;

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

class TravaFlock : public TravaArquivo {
  public:
    explicit TravaFlock(int fd) : fd_(fd) {}

  private:
    DescritorArquivo fd_;  // closing it releases the lock
};

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

}  // namespace

std::vector<std::string> SistemaArquivosPosix::lista(const std::string& padrao) {
    std::string::size_type barra = padrao.rfind('/');
    std::string pasta = barra == std::string::npos ? "." : padrao.substr(0, barra + 1);
    std::string componente = barra == std::string::npos ? padrao : padrao.substr(barra + 1);
    return listagem_.lista(pasta, componente, [&] { return listaPasta(pasta, componente); });
}

std::string SistemaArquivosPosix::leTudo(const std::string& caminho) {
    // O_NONBLOCK so that a FIFO planted under a job's name cannot hang the open.
    DescritorArquivo fd(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ELOOP) throw ErroPlataforma("é um link simbólico");
        lancaErroSistema(errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) lancaErroSistema(errno);
    if (!S_ISREG(st.st_mode)) throw ErroPlataforma("não é um arquivo comum");

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

std::optional<InfoArquivo> SistemaArquivosPosix::info(const std::string& caminho) {
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        lancaErroSistema(errno);
    }
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    return InfoArquivo{static_cast<std::uint64_t>(st.st_size), emNs(st.st_mtim),
                       static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       static_cast<std::uint32_t>(st.st_mode & 07777)};
}

bool SistemaArquivosPosix::emEscrita(const std::string& caminho) {
    DescritorArquivo fd(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    // The reader will report why the file cannot be opened.
    if (fd.get() < 0) return false;

    // A writer opening the file while we hold the lease breaks it with a signal, SIGIO by default,
    // which would end the program; SIGURG is ignored unless someone asks for it.
    ::fcntl(fd.get(), F_SETSIG, SIGURG);
    // A read lease is refused while anyone holds the file open for writing.
    if (::fcntl(fd.get(), F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
        return false;
    }
    if (errno == EAGAIN) return true;

    // No lease here (a file of another user, a file system without leases): go by the time.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return false;
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
    return trava;
}

std::unique_ptr<ArquivoEscrita> SistemaArquivosPosix::criaExclusivo(const std::string& caminho) {
    int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) lancaErroSistema(errno);
    return std::make_unique<ArquivoEscritaPosix>(fd);
}

std::uint64_t SistemaArquivosPosix::idProcesso() { return static_cast<std::uint64_t>(::getpid()); }

}  // namespace velmora
