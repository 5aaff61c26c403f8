#include "platform/posix/ListagemVigiada.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "spooler/NomesJob.h"

namespace velmora {

namespace {

// Every change that can add a name to the listing or take one away.
constexpr std::uint32_t kEventos =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

bool ehComum(const std::string& caminho) {
    struct stat st {};
    return ::fstatat(AT_FDCWD, caminho.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(st.st_mode);
}

}  // namespace

ListagemVigiada::~ListagemVigiada() {
    if (fd_ >= 0) ::close(fd_);
}

void ListagemVigiada::esquece() {
    valida_ = false;
    nomes_.clear();
}

bool ListagemVigiada::vigia(const std::string& pasta, const struct stat& st) {
    if (semInotify_) return false;
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            semInotify_ = true;
            return false;
        }
    }
    if (vigia_ >= 0 && (pasta != pasta_ || st.st_dev != dispositivo_ || st.st_ino != inode_)) {
        ::inotify_rm_watch(fd_, vigia_);
        vigia_ = -1;
    }
    if (vigia_ < 0) {
        vigia_ = ::inotify_add_watch(fd_, pasta.c_str(), kEventos | IN_ONLYDIR);
        if (vigia_ < 0) return false;
        // The folder the path led to when we stat'ed it may have been swapped meanwhile.
        struct stat agora {};
        if (::stat(pasta.c_str(), &agora) != 0 || agora.st_dev != st.st_dev ||
            agora.st_ino != st.st_ino) {
            ::inotify_rm_watch(fd_, vigia_);
            vigia_ = -1;
            return false;
        }
    }
    // Events from before the listing that follows are already in it.
    alignas(inotify_event) char buffer[16 * 1024];
    while (::read(fd_, buffer, sizeof buffer) > 0) {
    }
    pasta_ = pasta;
    dispositivo_ = st.st_dev;
    inode_ = st.st_ino;
    return true;
}

bool ListagemVigiada::aplicaEventos() {
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t lidos = ::read(fd_, buffer, sizeof buffer);
        if (lidos < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN;
        }
        if (lidos == 0) return false;
        for (ssize_t pos = 0; pos < lidos;) {
            const auto* evento = reinterpret_cast<const inotify_event*>(buffer + pos);
            pos += static_cast<ssize_t>(sizeof(inotify_event) + evento->len);
            // A lost event, the folder gone or moved, or a watch we no longer know.
            if (evento->wd != vigia_ || (evento->mask & ~(kEventos | IN_ISDIR)) != 0 ||
                (evento->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
                if (evento->wd == vigia_) {
                    // A folder moved away is still watched: stop, and watch the path anew.
                    ::inotify_rm_watch(fd_, vigia_);
                    vigia_ = -1;
                }
                return false;
            }
            if (evento->len == 0) return false;
            const std::string nome(evento->name);
            if (nome.empty() || nome[0] == '.' || !casaPadrao(componente_, nome)) continue;
            // Whatever happened to the name, what it leads to now is what a listing would see.
            if ((evento->mask & (IN_CREATE | IN_MOVED_TO)) != 0 && ehComum(pasta_ + nome)) {
                nomes_.insert(nome);
            } else {
                nomes_.erase(nome);
            }
        }
    }
}

std::vector<std::string> ListagemVigiada::lista(const std::string& pasta,
                                                const std::string& componente,
                                                const ListaInteira& listaInteira) {
    std::vector<std::string> lida;
    if (atualiza(pasta, componente, listaInteira, lida)) return {nomes_.begin(), nomes_.end()};
    return lida;
}

std::optional<std::string> ListagemVigiada::proximo(const std::string& pasta,
                                                    const std::string& componente,
                                                    const std::string& depoisDe,
                                                    const ListaInteira& listaInteira) {
    std::vector<std::string> lida;
    if (atualiza(pasta, componente, listaInteira, lida)) {
        const auto it = nomes_.upper_bound(depoisDe);
        if (it == nomes_.end()) return std::nullopt;
        return *it;
    }
    const auto it = std::upper_bound(lida.begin(), lida.end(), depoisDe);
    if (it == lida.end()) return std::nullopt;
    return std::move(*it);
}

bool ListagemVigiada::atualiza(const std::string& pasta, const std::string& componente,
                               const ListaInteira& listaInteira, std::vector<std::string>& lida) {
    struct stat st {};
    if (::stat(pasta.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        esquece();
        lida = listaInteira();
        return false;
    }
    const auto agora = std::chrono::steady_clock::now();
    const bool mesmaPasta =
        valida_ && pasta == pasta_ && st.st_dev == dispositivo_ && st.st_ino == inode_;
    if (mesmaPasta && componente == componente_ && agora - lidaEm_ < kValidade && aplicaEventos()) {
        return true;
    }

    esquece();
    const bool vigiada = vigia(pasta, st);
    lida = listaInteira();
    if (!vigiada) return false;
    lidaEm_ = agora;
    componente_ = componente;
    nomes_.insert(lida.begin(), lida.end());
    valida_ = true;
    return true;
}

}  // namespace velmora
