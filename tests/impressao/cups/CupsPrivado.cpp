#include "CupsPrivado.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "impressao/apoio/Poppler.h"

namespace fs = std::filesystem;

namespace velmora::teste {

namespace {

const std::string kHarness = VELMORA_APOIO_TESTES "/cupsd-privado.sh";

std::string conteudo(const fs::path& arquivo) {
    std::ifstream entrada(arquivo);
    std::ostringstream texto;
    texto << entrada.rdbuf();
    return texto.str();
}

}  // namespace

CupsPrivado::CupsPrivado() {
    // Under /tmp, not $TMPDIR: lp must reach the spool, and the socket path must stay short.
    char modelo[] = "/tmp/velmora-cups-XXXXXX";
    if (!mkdtemp(modelo)) throw std::runtime_error("mkdtemp falhou");
    pasta_ = modelo;

    // The shell waits on its stdin; closing the pipe (or this process dying) makes it stop
    // cupsd and the sink and remove the folder.
    const std::string script =
        "source " + aspas(kHarness) + " && cups_privado_inicia " + aspas(pasta_) +
        " && cups_privado_fila_pdf velmora_pdf"
        " && cups_privado_fila_bruta velmora_bruta"
        " && cups_privado_padrao velmora_pdf"
        " && touch \"$CUPS_PRIVADO_DIR/pronto\" || touch " +
        aspas(pasta_ + "/falhou") + "; read -r _; cups_privado_para; rm -rf " + aspas(pasta_);
    const std::string comando =
        "exec bash -c " + aspas(script) + " >" + aspas(pasta_ + "/harness.log") + " 2>&1";
    controle_ = popen(comando.c_str(), "w");
    if (!controle_) throw std::runtime_error("não iniciou o harness do cupsd");

    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(pasta_ + "/pronto")) {
        if (fs::exists(pasta_ + "/falhou") || std::chrono::steady_clock::now() > limite) {
            const std::string log = conteudo(pasta_ + "/harness.log");
            pclose(controle_);
            controle_ = nullptr;
            fs::remove_all(pasta_);
            throw std::runtime_error("o cupsd privado não subiu:\n" + log);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    setenv("CUPS_SERVER", (pasta_ + "/cups.sock").c_str(), 1);
}

CupsPrivado::~CupsPrivado() {
    if (controle_) pclose(controle_);
    std::error_code erro;
    fs::remove_all(pasta_, erro);
}

std::string CupsPrivado::saida(const std::string& fila) const {
    return pasta_ + "/out/" + fila + ".out";
}

void CupsPrivado::executa(const std::string& comando) const {
    const std::string script = "source " + aspas(kHarness) +
                               " && export CUPS_PRIVADO_DIR=" + aspas(pasta_) + " && " + comando;
    teste::executa("bash -c " + aspas(script) + " 2>&1");
}

void CupsPrivado::esperaJobs() const { executa("cups_privado_espera_jobs 30"); }

}  // namespace velmora::teste
