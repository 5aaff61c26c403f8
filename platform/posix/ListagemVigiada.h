#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

// The last listing of one folder by one pattern, kept up to date from the folder's inotify events
// instead of being read again: the cycle lists the folder after every job, and reading a folder of
// thousands of files each time cost more than the job. A listing from here always equals a fresh
// one: any event it cannot account for (a lost event, the folder replaced or gone) makes it read
// the folder again. Where inotify is not available every listing reads the folder. Network file
// systems (a folder shared by the machines that write the jobs) report no changes made by other
// machines, so the kept listing is trusted only for kValidade after a reading: every tick, which
// comes at least a second after the last one, reads the folder again.
class ListagemVigiada {
  public:
    using ListaInteira = std::function<std::vector<std::string>()>;
    static constexpr std::chrono::milliseconds kValidade{500};

    ListagemVigiada() = default;
    ~ListagemVigiada();
    ListagemVigiada(const ListagemVigiada&) = delete;
    ListagemVigiada& operator=(const ListagemVigiada&) = delete;

    // Regular, non-hidden files of `pasta` (ending in "/", or ".") whose names match `componente`,
    // sorted by name; `listaInteira` reads them from the folder itself and reports its errors.
    std::vector<std::string> lista(const std::string& pasta, const std::string& componente,
                                   const ListaInteira& listaInteira);
    // The name of that listing that sorts next after `depoisDe`, without copying the listing.
    std::optional<std::string> proximo(const std::string& pasta, const std::string& componente,
                                       const std::string& depoisDe,
                                       const ListaInteira& listaInteira);

  private:
    // True when nomes_ holds the listing; otherwise the listing was read into `lida`.
    bool atualiza(const std::string& pasta, const std::string& componente,
                  const ListaInteira& listaInteira, std::vector<std::string>& lida);
    bool vigia(const std::string& pasta, const struct stat& st);
    // False when the kept listing can no longer be trusted.
    bool aplicaEventos();
    void esquece();

    int fd_ = -1;
    int vigia_ = -1;
    bool semInotify_ = false;
    bool valida_ = false;
    std::string pasta_;
    std::string componente_;
    dev_t dispositivo_ = 0;
    ino_t inode_ = 0;
    std::set<std::string> nomes_;
    std::chrono::steady_clock::time_point lidaEm_;
};

}  // namespace velmora
