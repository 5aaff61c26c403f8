#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A file opened for writing; closing it reports a failed flush.
class ArquivoEscrita {
  public:
    virtual ~ArquivoEscrita() = default;
    virtual void escreve(std::string_view bytes) = 0;  // throws ErroPlataforma (short write too)
    virtual void fecha() = 0;                          // throws ErroPlataforma
};

struct InfoArquivo {
    std::uint64_t tamanho = 0;
    std::int64_t modificadoNs = 0;  // modification time, nanoseconds since the epoch
    // Which file this is, whatever name it goes by now (device and inode on POSIX).
    std::uint64_t dispositivo = 0;
    std::uint64_t indice = 0;
    std::uint32_t permissoes = 0;
};

// Held while one job is handled; released when destroyed.
class TravaArquivo {
  public:
    virtual ~TravaArquivo() = default;
    // The job's name as the lock found it when it was taken, where the lock looked: the cycle
    // then needs no look of its own.
    virtual std::optional<InfoArquivo> info() const { return std::nullopt; }
};

inline bool mesmaIdentidade(const InfoArquivo& a, const InfoArquivo& b) {
    return a.dispositivo == b.dispositivo && a.indice == b.indice;
}

// The very same file, unchanged since: a file written anew under the same name is not.
inline bool mesmoArquivo(const InfoArquivo& a, const InfoArquivo& b) {
    return mesmaIdentidade(a, b) && a.tamanho == b.tamanho && a.modificadoNs == b.modificadoNs;
}

// What the spooler needs of the file system. Paths are passed as the spooler builds them (folder
// part + name); a path without a folder is relative to the current folder. All failures throw
// ErroPlataforma with the reason.
class SistemaArquivos {
  public:
    virtual ~SistemaArquivos() = default;

    // Names (without folder) of the regular files matching `padrao` (a path whose last component
    // may hold "*" and "?", compared without regard to letter case), sorted by name so jobs are
    // taken in a predictable order. Folders, dot-files and symbolic links are never listed. A
    // folder that does not exist gives an empty list.
    virtual std::vector<std::string> lista(const std::string& padrao) = 0;

    // Whole content of a regular file; never follows a symbolic link.
    virtual std::string leTudo(const std::string& caminho) = 0;

    // The content of a regular file handed to `bloco` piece by piece, so that a large file never
    // lies whole in memory. `trava`, when given, is the job's lock: where it holds the file open,
    // the file is read through it. Throws like leTudo.
    virtual void leEmBlocos(const std::string& caminho, TravaArquivo* trava,
                            const std::function<void(std::string_view)>& bloco) {
        static_cast<void>(trava);
        bloco(leTudo(caminho));
    }

    // The name of lista(padrao) that sorts next after `depoisDe` (the first of all when empty): a
    // tick walks a large folder without copying its listing for every job.
    virtual std::optional<std::string> proximoNome(const std::string& padrao,
                                                   const std::string& depoisDe) {
        std::optional<std::string> menor;
        for (std::string& nome : lista(padrao)) {
            if (nome > depoisDe && (!menor || nome < *menor)) menor = std::move(nome);
        }
        return menor;
    }

    // Size, modification time, identity and permissions; nothing when the path names no regular
    // file.
    virtual std::optional<InfoArquivo> info(const std::string& caminho) = 0;

    // True while another process still holds the file open for writing (or, where that cannot be
    // told, while it was modified within the last 2 seconds): it is not a job yet.
    virtual bool emEscrita(const std::string& caminho) = 0;
    // The same, asked through the job's lock where the platform can use what the lock holds open.
    virtual bool emEscritaPelaTrava(const std::string& caminho, TravaArquivo& trava) {
        static_cast<void>(trava);
        return emEscrita(caminho);
    }

    virtual bool existe(const std::string& caminho) = 0;     // any non-folder entry, links included
    virtual bool existePasta(const std::string& pasta) = 0;  // a folder, through links too
    virtual void exclui(const std::string& caminho) = 0;     // never through a link
    virtual void renomeia(const std::string& de, const std::string& para) = 0;

    // An exclusive advisory lock on a job file, taken without waiting, so that two spoolers on one
    // folder never handle the same job at once. Null when another process holds it; throws when
    // the file cannot be opened (the reader then says why).
    virtual std::unique_ptr<TravaArquivo> trava(const std::string& caminho) = 0;

    // Creates a new file; fails if the name exists (also as a symbolic link).
    virtual std::unique_ptr<ArquivoEscrita> criaExclusivo(const std::string& caminho) = 0;

    // A number that no other live process on this machine has (the process id), so that names
    // made with it are this process's alone.
    virtual std::uint64_t idProcesso() = 0;
};

}  // namespace velmora
