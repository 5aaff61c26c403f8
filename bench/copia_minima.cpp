// The file-system limit for the raw path: each job of a folder is read whole, appended to the
// output file and unlinked. Nothing else.
//
//   velmora_bench_copia PASTA SAIDA
//
// Jobs are taken in name order, like the spooler's listing. Exit 1 when any step fails.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool falha(const std::string& oque) {
    std::fprintf(stderr, "velmora_bench_copia: %s: %s\n", oque.c_str(), std::strerror(errno));
    return false;
}

bool escreveTudo(int fd, const char* dados, std::size_t tamanho) {
    while (tamanho > 0) {
        const ssize_t n = ::write(fd, dados, tamanho);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        dados += n;
        tamanho -= static_cast<std::size_t>(n);
    }
    return true;
}

bool copiaUm(const std::string& job, int destino, std::vector<char>& buffer) {
    const int origem = ::open(job.c_str(), O_RDONLY | O_CLOEXEC);
    if (origem < 0) return falha(job);
    struct stat st {};
    if (::fstat(origem, &st) != 0) return falha(job);
    buffer.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t lidos = 0;
    for (;;) {
        if (lidos == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t n = ::read(origem, buffer.data() + lidos, buffer.size() - lidos);
        if (n < 0) {
            if (errno == EINTR) continue;
            return falha(job);
        }
        if (n == 0) break;
        lidos += static_cast<std::size_t>(n);
    }
    ::close(origem);

    if (!escreveTudo(destino, buffer.data(), lidos)) return falha("saída");
    if (::unlink(job.c_str()) != 0) return falha(job);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: velmora_bench_copia PASTA SAIDA\n");
        return 2;
    }
    const std::string pasta = std::string(argv[1]) + "/";
    DIR* dir = ::opendir(argv[1]);
    if (dir == nullptr) return falha(argv[1]) ? 0 : 1;
    std::vector<std::string> nomes;
    while (const dirent* entrada = ::readdir(dir)) {
        if (entrada->d_name[0] != '.') nomes.emplace_back(entrada->d_name);
    }
    ::closedir(dir);
    std::sort(nomes.begin(), nomes.end());

    const int destino = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (destino < 0) return falha(argv[2]) ? 0 : 1;
    std::vector<char> buffer;
    for (const std::string& nome : nomes) {
        if (!copiaUm(pasta + nome, destino, buffer)) return 1;
    }
    return ::close(destino) == 0 ? 0 : (falha(argv[2]) ? 0 : 1);
}
