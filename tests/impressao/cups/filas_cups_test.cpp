// The printing layer against a real (private) CUPS server.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <QTemporaryDir>

#include "impressao/apoio/Poppler.h"
#include "impressao/cups/CupsPrivado.h"
#include "platform/qt/ImpressoraQt.h"
#include "spooler/ErroPlataforma.h"

namespace fs = std::filesystem;
using namespace velmora;
using namespace velmora::teste;

namespace {

std::string le(const std::string& arquivo) {
    std::ifstream entrada(arquivo, std::ios::binary);
    return {std::istreambuf_iterator<char>(entrada), std::istreambuf_iterator<char>()};
}

struct Job {
    int id = 0;
    std::string fila, titulo;
};

// Jobs the server knows, finished ones included, after job number `depois`.
std::vector<Job> jobs(int depois = 0) {
    cups_job_t* lista = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lista, nullptr, 0, CUPS_WHICHJOBS_ALL);
    std::vector<Job> resultado;
    for (int i = 0; i < n; ++i) {
        if (lista[i].id > depois) resultado.push_back({lista[i].id, lista[i].dest, lista[i].title});
    }
    cupsFreeJobs(n, lista);
    return resultado;
}

class FilasCups : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        signal(SIGPIPE, SIG_IGN);
        if (geteuid() != 0) return;
        try {
            servidor_ = new CupsPrivado;
        } catch (const std::exception& e) {
            erro_ = e.what();
        }
    }
    static void TearDownTestSuite() {
        delete servidor_;
        servidor_ = nullptr;
    }

    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "o cupsd privado precisa de root";
        ASSERT_NE(servidor_, nullptr) << erro_;
        ASSERT_TRUE(pastaPdf_.isValid());
        for (const char* fila : {"velmora_pdf", "velmora_bruta"}) {
            fs::remove(servidor_->saida(fila));
        }
        for (const Job& job : jobs()) jaHavia_ = std::max(jaHavia_, job.id);
    }

    // The jobs this test made.
    std::vector<Job> novosJobs() { return jobs(jaHavia_); }

    void imprime(ImpressoraQt& impressora, const std::string& titulo,
                 const std::vector<std::u32string>& linhas) {
        impressora.defineTitulo(titulo);
        for (const auto& linha : linhas) impressora.imprimeLinha(linha);
        impressora.terminaDocumento();
    }

    std::vector<std::string> linhasDaFilaPdf() {
        std::vector<std::string> linhas;
        for (const auto& pagina : paginasPdf(servidor_->saida("velmora_pdf"))) {
            for (const auto& linha : linhasCheias(pagina)) linhas.push_back(linha);
        }
        return linhas;
    }

    std::string pasta() { return pastaPdf_.path().toStdString(); }

    static inline CupsPrivado* servidor_ = nullptr;
    static inline std::string erro_;
    QTemporaryDir pastaPdf_;
    int jaHavia_ = 0;
};

TEST_F(FilasCups, ListaAsFilasEPorUltimoAVelmoraPdf) {
    ImpressoraQt impressora(pasta());
    const auto impressoras = impressora.impressoras();
    ASSERT_EQ(impressoras.size(), 3u);
    EXPECT_EQ(impressoras[0].nome, "velmora_bruta");
    EXPECT_EQ(impressoras[0].porta, "velmora_bruta");
    EXPECT_EQ(impressoras[1].nome, "velmora_pdf");
    EXPECT_EQ(impressoras[1].porta, "velmora_pdf");
    EXPECT_EQ(impressoras[2].nome, "Velmora PDF");
    EXPECT_EQ(impressoras[2].porta, "");
}

TEST_F(FilasCups, DocumentoChegaNaFilaEscolhidaComTituloTextoEFonte) {
    ImpressoraQt impressora(pasta());
    impressora.tornaAtual("velmora_pdf");
    imprime(impressora, "REL01.TXT", {U"NOTA FISCAL 1234", U"Total: R$ 1.234,56 — ação"});
    servidor_->esperaJobs();

    EXPECT_EQ(linhasDaFilaPdf(),
              (std::vector<std::string>{"NOTA FISCAL 1234", "Total: R$ 1.234,56 — ação"}));
    const auto fontes = fontesPdf(servidor_->saida("velmora_pdf"));
    EXPECT_EQ(fontes, std::vector<std::string>{"NimbusMonoPS-Regular"});
    const auto lista = novosJobs();
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].fila, "velmora_pdf");
    EXPECT_EQ(lista[0].titulo, "REL01.TXT");
    EXPECT_TRUE(fs::is_empty(pasta())) << "foi para a Velmora PDF";
}

TEST_F(FilasCups, SemEscolhaVaiParaAPadraoEDocumentoVazioNaoViraJob) {
    ImpressoraQt impressora(pasta());
    imprime(impressora, "VAZIO.TXT", {});
    imprime(impressora, "PADRAO.TXT", {U"NA PADRAO"});
    servidor_->esperaJobs();

    EXPECT_EQ(linhasDaFilaPdf(), std::vector<std::string>{"NA PADRAO"});
    const auto lista = novosJobs();
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].titulo, "PADRAO.TXT");
}

TEST_F(FilasCups, FilaInexistenteNaoMudaAImpressoraAtual) {
    ImpressoraQt impressora(pasta());
    impressora.tornaAtual("velmora_pdf");
    EXPECT_THROW(impressora.tornaAtual("fila_que_nao_existe"), ErroPlataforma);
    imprime(impressora, "AINDA.TXT", {U"AINDA NA PDF"});
    servidor_->esperaJobs();
    EXPECT_EQ(linhasDaFilaPdf(), std::vector<std::string>{"AINDA NA PDF"});
}

TEST_F(FilasCups, FilaQueRecusaJobsFazOTerminoFalharComOMotivo) {
    servidor_->executa("cupsreject -r 'sem papel' velmora_pdf");
    ImpressoraQt impressora(pasta());
    impressora.tornaAtual("velmora_pdf");
    std::string motivo;
    try {
        imprime(impressora, "RECUSADO.TXT", {U"NAO DEVE SAIR"});
    } catch (const ErroPlataforma& erro) {
        motivo = erro.what();
    }
    servidor_->executa("cupsaccept velmora_pdf");

    EXPECT_NE(motivo.find("velmora_pdf"), std::string::npos) << "motivo: " << motivo;
    servidor_->esperaJobs();
    EXPECT_FALSE(fs::exists(servidor_->saida("velmora_pdf")));
    EXPECT_TRUE(novosJobs().empty());

    // Accepting again, the same printing layer prints.
    imprime(impressora, "DEPOIS.TXT", {U"DEPOIS"});
    servidor_->esperaJobs();
    EXPECT_EQ(linhasDaFilaPdf(), std::vector<std::string>{"DEPOIS"});
}

TEST_F(FilasCups, FilaRemovidaDepoisDeEscolhidaFazOTerminoFalhar) {
    servidor_->executa("cups_privado_fila_pdf temporaria");
    ImpressoraQt impressora(pasta());
    impressora.tornaAtual("temporaria");
    servidor_->executa("lpadmin -x temporaria");
    try {
        imprime(impressora, "PERDIDO.TXT", {U"SEM FILA"});
        FAIL() << "terminaDocumento não falhou";
    } catch (const ErroPlataforma& erro) {
        EXPECT_NE(std::string(erro.what()).find("temporaria"), std::string::npos) << erro.what();
    }
}

TEST_F(FilasCups, CopiaBrutaEntregaOsBytesSemMudanca) {
    std::string bytes = "LINHA 1\r\n\x0cSEGUNDA P\xc1GINA caf\xe9\r\n\x1b@EJECT\r\n";
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const fs::path arquivo = fs::path(pasta()) / "BRUTO.TXT";
    std::ofstream(arquivo, std::ios::binary) << bytes;

    ImpressoraQt impressora(pasta());
    impressora.copiaBruto(arquivo.string(), "velmora_bruta", "BRUTO.TXT");
    servidor_->esperaJobs();

    EXPECT_EQ(le(servidor_->saida("velmora_bruta")), bytes);
    const auto lista = novosJobs();
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].fila, "velmora_bruta");
    EXPECT_EQ(lista[0].titulo, "BRUTO.TXT");
}

}  // namespace
