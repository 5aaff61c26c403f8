#include "platform/cups/FilasCups.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/ErroSistema.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr std::size_t kTamanhoBloco = 64 * 1024;
constexpr int kEsperaConexaoMs = 30000;

class Destinos {
  public:
    Destinos() : quantidade_(cupsGetDests2(CUPS_HTTP_DEFAULT, &destinos_)) {}
    ~Destinos() { cupsFreeDests(quantidade_, destinos_); }
    Destinos(const Destinos&) = delete;
    Destinos& operator=(const Destinos&) = delete;

    const cups_dest_t* begin() const { return destinos_; }
    const cups_dest_t* end() const { return destinos_ + quantidade_; }

  private:
    cups_dest_t* destinos_ = nullptr;
    int quantidade_;
};

class Conexao {
  public:
    Conexao()
        : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             kEsperaConexaoMs, nullptr)) {}
    ~Conexao() { fecha(); }
    Conexao(const Conexao&) = delete;
    Conexao& operator=(const Conexao&) = delete;

    http_t* get() const { return http_; }
    // Closing in the middle of a document makes the server drop what it received.
    void fecha() {
        if (http_ != nullptr) httpClose(http_);
        http_ = nullptr;
    }

  private:
    http_t* http_;
};

std::string prefixoFila(const std::string& fila) { return "fila \"" + fila + "\": "; }

[[noreturn]] void lancaErroCups(const std::string& fila) {
    throw ErroPlataforma(prefixoFila(fila) + cupsLastErrorString());
}

}  // namespace

std::vector<InfoImpressora> filasCups() {
    std::vector<InfoImpressora> filas;
    Destinos destinos;
    for (const cups_dest_t& destino : destinos) {
        if (destino.instance != nullptr) continue;
        filas.push_back({destino.name, destino.name});
    }
    return filas;
}

std::string filaPadraoCups() {
    Destinos destinos;
    for (const cups_dest_t& destino : destinos) {
        if (destino.is_default) return destino.name;
    }
    return {};
}

bool existeFilaCups(const std::string& fila) {
    Destinos destinos;
    for (const cups_dest_t& destino : destinos) {
        if (destino.instance == nullptr && ::strcasecmp(destino.name, fila.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<TamanhoPapel> papelDaFila(const std::string& fila) {
    cups_dest_t* destino = cupsGetNamedDest(CUPS_HTTP_DEFAULT, fila.c_str(), nullptr);
    if (destino == nullptr) return std::nullopt;
    std::optional<TamanhoPapel> papel;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, destino)) {
        cups_size_t tamanho;
        if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, destino, info, 0, &tamanho) &&
            tamanho.width > 0 && tamanho.length > 0) {
            // Hundredths of a millimetre.
            papel = TamanhoPapel{tamanho.width / 100.0, tamanho.length / 100.0};
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, destino);
    return papel;
}

void enviaArquivoCups(const std::string& fila, const std::string& arquivo,
                      const std::string& titulo, const char* formato) {
    // The file first: a job is only created for something that can be sent.
    DescritorArquivo fd(::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) lancaErroSistema(errno, "arquivo " + arquivo);

    // A connection of its own, so that a document cut short can be dropped by closing it.
    Conexao conexao;
    if (conexao.get() == nullptr) {
        throw ErroPlataforma(prefixoFila(fila) + "servidor de impressão inacessível (" +
                             cupsServer() + ")");
    }
    int job = cupsCreateJob(conexao.get(), fila.c_str(), titulo.c_str(), 0, nullptr);
    if (job == 0) {
        // libcups words an unknown queue as a missing file.
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
            throw ErroPlataforma(prefixoFila(fila) + "fila inexistente");
        }
        lancaErroCups(fila);
    }

    auto cancela = [&](const std::string& motivo) {
        conexao.fecha();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, fila.c_str(), job, 0);
        throw ErroPlataforma(motivo);
    };

    if (cupsStartDocument(conexao.get(), fila.c_str(), job, titulo.c_str(), formato, 1) !=
        HTTP_STATUS_CONTINUE) {
        cancela(prefixoFila(fila) + cupsLastErrorString());
    }
    std::vector<char> bloco(kTamanhoBloco);
    for (;;) {
        ssize_t n = ::read(fd.get(), bloco.data(), bloco.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            cancela("arquivo " + arquivo + ": " + mensagemSistema(errno));
        }
        if (n == 0) break;
        if (cupsWriteRequestData(conexao.get(), bloco.data(), static_cast<std::size_t>(n)) !=
            HTTP_STATUS_CONTINUE) {
            cancela(prefixoFila(fila) + cupsLastErrorString());
        }
    }
    if (cupsFinishDocument(conexao.get(), fila.c_str()) > IPP_STATUS_OK_CONFLICTING) {
        cancela(prefixoFila(fila) + cupsLastErrorString());
    }
}

}  // namespace velmora
