#include "platform/win32/SistemaArquivosWin32.h"

#include <algorithm>

#include "platform/win32/TextoWin32.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/NomesJob.h"

namespace velmora {

namespace {

constexpr DWORD kNaoEhJob = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
constexpr DWORD kCompartilhaTudo = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows locks are mandatory: a lock on a file's data would keep its readers out.
constexpr DWORD kTravaAlta = 0x7FFFFFFF;
constexpr DWORD kTravaBaixa = 0xFFFFFFF0;

// 100 ns ticks from 1601 to 1970.
constexpr std::int64_t kAte1970 = 116444736000000000LL;

std::size_t ultimaBarra(const std::string& caminho) { return caminho.find_last_of("\\/"); }

bool semArquivo(DWORD erro) {
    return erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND ||
           erro == ERROR_INVALID_NAME || erro == ERROR_BAD_NETPATH;
}

HANDLE abre(const std::string& caminho, DWORD acesso, DWORD compartilha, DWORD criacao,
            DWORD atributos = FILE_ATTRIBUTE_NORMAL) {
    return ::CreateFileW(larga(caminho).c_str(), acesso, compartilha, nullptr, criacao,
                         atributos | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::int64_t emNs(const FILETIME& t) {
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    return (ticks - kAte1970) * 100;
}

class TravaIntervalo : public TravaArquivo {
  public:
    explicit TravaIntervalo(HANDLE h) : h_(h) {}
    ~TravaIntervalo() override {
        OVERLAPPED posicao{};
        posicao.Offset = kTravaBaixa;
        posicao.OffsetHigh = kTravaAlta;
        ::UnlockFileEx(h_.get(), 0, 1, 0, &posicao);
    }

  private:
    Handle h_;
};

class ArquivoEscritaWin32 : public ArquivoEscrita {
  public:
    ArquivoEscritaWin32(HANDLE h, std::string caminho) : h_(h), caminho_(std::move(caminho)) {}
    ~ArquivoEscritaWin32() override {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    void escreve(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD pedaco = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 30));
            DWORD escritos = 0;
            if (!::WriteFile(h_, bytes.data(), pedaco, &escritos, nullptr))
                lancaErroWin32(::GetLastError());
            if (escritos == 0) throw ErroPlataforma("nada foi gravado");
            bytes.remove_prefix(escritos);
        }
    }
    void fecha() override {
        const bool ok = ::FlushFileBuffers(h_) != 0;
        const DWORD erro = ::GetLastError();
        ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        if (!ok) lancaErroWin32(erro);
    }

  private:
    HANDLE h_;
    std::string caminho_;
};

}  // namespace

std::vector<std::string> SistemaArquivosWin32::lista(const std::string& padrao) {
    const std::size_t barra = ultimaBarra(padrao);
    const std::string pasta = barra == std::string::npos ? "" : padrao.substr(0, barra + 1);
    const std::string componente = barra == std::string::npos ? padrao : padrao.substr(barra + 1);

    // Every name, then the core's own pattern rule: Windows' would also match 8.3 short names
    // and treat "*.TXT" as "*.TXT*".
    WIN32_FIND_DATAW achado{};
    HANDLE busca = ::FindFirstFileExW(larga(pasta + "*").c_str(), FindExInfoBasic, &achado,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    std::vector<std::string> nomes;
    if (busca == INVALID_HANDLE_VALUE) {
        const DWORD erro = ::GetLastError();
        if (semArquivo(erro) || erro == ERROR_DIRECTORY) return nomes;
        lancaErroWin32(erro);
    }
    do {
        if (achado.dwFileAttributes & kNaoEhJob) continue;
        if (achado.cFileName[0] == L'.') continue;
        std::string nome = utf8(achado.cFileName);
        if (casaPadrao(componente, nome)) nomes.push_back(std::move(nome));
    } while (::FindNextFileW(busca, &achado));
    const DWORD erro = ::GetLastError();
    ::FindClose(busca);
    if (erro != ERROR_NO_MORE_FILES) lancaErroWin32(erro);
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

std::string SistemaArquivosWin32::leTudo(const std::string& caminho) {
    Handle h(abre(caminho, GENERIC_READ, kCompartilhaTudo, OPEN_EXISTING));
    if (!h.valido()) lancaErroWin32(::GetLastError());
    BY_HANDLE_FILE_INFORMATION dados{};
    if (!::GetFileInformationByHandle(h.get(), &dados)) lancaErroWin32(::GetLastError());
    if (dados.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        throw ErroPlataforma("é um link simbólico");
    if (dados.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw ErroPlataforma("não é um arquivo comum");

    std::string conteudo;
    char bloco[65536];
    for (;;) {
        DWORD lidos = 0;
        if (!::ReadFile(h.get(), bloco, sizeof bloco, &lidos, nullptr))
            lancaErroWin32(::GetLastError());
        if (lidos == 0) return conteudo;
        conteudo.append(bloco, lidos);
    }
}

std::optional<InfoArquivo> SistemaArquivosWin32::info(const std::string& caminho) {
    Handle h(abre(caminho, FILE_READ_ATTRIBUTES, kCompartilhaTudo, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS));
    if (!h.valido()) {
        const DWORD erro = ::GetLastError();
        if (semArquivo(erro)) return std::nullopt;
        lancaErroWin32(erro);
    }
    BY_HANDLE_FILE_INFORMATION dados{};
    if (!::GetFileInformationByHandle(h.get(), &dados)) lancaErroWin32(::GetLastError());
    if (dados.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return std::nullopt;
    InfoArquivo info;
    info.tamanho = (static_cast<std::uint64_t>(dados.nFileSizeHigh) << 32) | dados.nFileSizeLow;
    info.modificadoNs = emNs(dados.ftLastWriteTime);
    info.dispositivo = dados.dwVolumeSerialNumber;
    info.indice = (static_cast<std::uint64_t>(dados.nFileIndexHigh) << 32) | dados.nFileIndexLow;
    info.permissoes = (dados.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0644;
    return info;
}

bool SistemaArquivosWin32::emEscrita(const std::string& caminho) {
    // Denying writers is refused while the writer's handle is open.
    Handle h(abre(caminho, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING));
    return !h.valido() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

bool SistemaArquivosWin32::existe(const std::string& caminho) {
    const DWORD atributos = ::GetFileAttributesW(larga(caminho).c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) {
        const DWORD erro = ::GetLastError();
        if (semArquivo(erro)) return false;
        lancaErroWin32(erro);
    }
    return !(atributos & FILE_ATTRIBUTE_DIRECTORY);
}

bool SistemaArquivosWin32::existePasta(const std::string& pasta) {
    const DWORD atributos = ::GetFileAttributesW(larga(pasta).c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) {
        const DWORD erro = ::GetLastError();
        if (semArquivo(erro)) return false;
        lancaErroWin32(erro);
    }
    return atributos & FILE_ATTRIBUTE_DIRECTORY;
}

void SistemaArquivosWin32::exclui(const std::string& caminho) {
    if (!::DeleteFileW(larga(caminho).c_str())) lancaErroWin32(::GetLastError());
}

void SistemaArquivosWin32::renomeia(const std::string& de, const std::string& para) {
    if (!::MoveFileExW(larga(de).c_str(), larga(para).c_str(), MOVEFILE_REPLACE_EXISTING))
        lancaErroWin32(::GetLastError());
}

std::unique_ptr<TravaArquivo> SistemaArquivosWin32::trava(const std::string& caminho) {
    // Not on the job itself: a handle kept on a job that could not be removed would leave it
    // "delete pending" once someone deletes it, and no new job of that name could be written
    // until we let go. A hidden file beside it, gone with the last handle, takes the lock.
    const std::size_t barra = ultimaBarra(caminho);
    const std::string nomeTrava =
        (barra == std::string::npos ? std::string() : caminho.substr(0, barra + 1)) + "~" +
        caminho.substr(barra == std::string::npos ? 0 : barra + 1) + ".velmora-trava";
    HANDLE h = ::CreateFileW(larga(nomeTrava).c_str(), GENERIC_READ | GENERIC_WRITE,
                             kCompartilhaTudo, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder we may read but not write: printing matters more than keeping a second
        // spooler out; the job itself says whether it is there.
        if (!info(caminho)) return nullptr;
        return std::make_unique<TravaArquivo>();
    }
    auto trava = std::make_unique<TravaIntervalo>(h);
    OVERLAPPED posicao{};
    posicao.Offset = kTravaBaixa;
    posicao.OffsetHigh = kTravaAlta;
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &posicao)) {
        const DWORD erro = ::GetLastError();
        if (erro == ERROR_LOCK_VIOLATION || erro == ERROR_IO_PENDING) return nullptr;
        if (erro != ERROR_NOT_SUPPORTED && erro != ERROR_INVALID_FUNCTION) lancaErroWin32(erro);
    }
    // Gone while we took the lock: whoever held it before us has already printed and removed it.
    if (!info(caminho)) return nullptr;
    return trava;
}

std::unique_ptr<ArquivoEscrita> SistemaArquivosWin32::criaExclusivo(const std::string& caminho) {
    HANDLE h = abre(caminho, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW);
    if (h == INVALID_HANDLE_VALUE) lancaErroWin32(::GetLastError());
    return std::make_unique<ArquivoEscritaWin32>(h, caminho);
}

std::uint64_t SistemaArquivosWin32::idProcesso() { return ::GetCurrentProcessId(); }

}  // namespace velmora
