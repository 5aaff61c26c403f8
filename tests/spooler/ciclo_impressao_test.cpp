#include "spooler/CicloImpressao.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "apoio/DecodificadoresTeste.h"
#include "apoio/ImpressoraGravadora.h"
#include "apoio/Nativos.h"
#include "apoio/PerguntaFixa.h"
#include "apoio/RelogioFixo.h"
#include "apoio/TimerGravador.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/LeitorJob.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using teste::DecodificadorLatin1;
using teste::ImpressoraGravadora;
using teste::PerguntaFixa;
using teste::RelogioFixo;
using teste::SistemaArquivosNativo;
using teste::TimerGravador;
using Linhas = std::vector<std::string>;

// The real file system, with failures and writers that a test switches on by name (root ignores
// file permissions, so a read-only folder cannot stand in for them).
class ArquivosComFalhas : public SistemaArquivos {
  public:
    std::set<std::string> naoExclui;        // exclui and renomeia (from) fail for these paths
    std::set<std::string> naoLe;            // leTudo fails with ErroPlataforma
    std::set<std::string> leComErroAlheio;  // leTudo fails with an exception of another kind
    std::set<std::string> sendoEscritos;    // emEscrita is true
    bool listaFalha = false;
    bool renomeioNaoSubstitui = false;  // as on Windows: the target must not exist
    // Runs right before a job's lock is taken: what another spooler may do in between.
    std::function<void(const std::string&)> antesDeTravar;

    int listagens() const { return listagens_; }

    std::vector<std::string> lista(const std::string& padrao) override {
        contaListagem();
        return real_.lista(padrao);
    }
    std::optional<std::string> proximoNome(const std::string& padrao,
                                           const std::string& depoisDe) override {
        contaListagem();
        return real_.proximoNome(padrao, depoisDe);
    }
    std::string leTudo(const std::string& caminho) override {
        falhaDeLeitura(caminho);
        return real_.leTudo(caminho);
    }
    void leEmBlocos(const std::string& caminho, TravaArquivo* trava,
                    const std::function<void(std::string_view)>& bloco) override {
        falhaDeLeitura(caminho);
        real_.leEmBlocos(caminho, trava, bloco);
    }
    std::optional<InfoArquivo> info(const std::string& caminho) override {
        return real_.info(caminho);
    }
    bool emEscrita(const std::string& caminho) override {
        return sendoEscritos.count(caminho) > 0 || real_.emEscrita(caminho);
    }
    bool emEscritaPelaTrava(const std::string& caminho, TravaArquivo& trava) override {
        return sendoEscritos.count(caminho) > 0 || real_.emEscritaPelaTrava(caminho, trava);
    }
    bool existe(const std::string& caminho) override { return real_.existe(caminho); }
    bool existePasta(const std::string& pasta) override { return real_.existePasta(pasta); }
    std::uint64_t idProcesso() override { return real_.idProcesso(); }
    void exclui(const std::string& caminho) override {
        if (naoExclui.count(caminho)) throw ErroPlataforma("Operation not permitted");
        real_.exclui(caminho);
    }
    void renomeia(const std::string& de, const std::string& para) override {
        if (naoExclui.count(de)) throw ErroPlataforma("Operation not permitted");
        if (renomeioNaoSubstitui && real_.existe(para)) throw ErroPlataforma("File exists");
        real_.renomeia(de, para);
    }
    std::unique_ptr<TravaArquivo> trava(const std::string& caminho) override {
        if (antesDeTravar) antesDeTravar(caminho);
        return real_.trava(caminho);
    }
    std::unique_ptr<ArquivoEscrita> criaExclusivo(const std::string& caminho) override {
        return real_.criaExclusivo(caminho);
    }

  private:
    void contaListagem() {
        if (listaFalha) throw ErroPlataforma("Permission denied");
        // A tick that never ends would hang the test; far more listings than any case needs end
        // it, and the case's own checks then fail.
        if (++listagens_ > 500) throw ErroPlataforma("listagens demais");
    }
    void falhaDeLeitura(const std::string& caminho) const {
        if (naoLe.count(caminho)) throw ErroPlataforma("Resource temporarily unavailable");
        if (leComErroAlheio.count(caminho)) throw std::length_error("arquivo grande demais");
    }

    SistemaArquivosNativo real_;
    int listagens_ = 0;
};

// One watched folder on the real file system; the timer switches and the log lines go into one
// trace, in the order they happen.
class Ciclo : public ::testing::Test {
  protected:
    void SetUp() override {
        pasta = teste::pastaTemporariaNova("velmora-ciclo") + "/";
        valores.sLocal = pasta + "*.TXT";
        valores.sBackup = "0";
        registro.aoRegistrar = [this](const std::string& m) { diario.push_back("log " + m); };
    }
    // A lock the cycle still keeps may hold a file of the folder until the cycle is gone.
    void TearDown() override {
        std::error_code erro;
        fs::remove_all(pasta, erro);
    }

    // Writes a job as a finished one: its time lies well in the past.
    void escreve(const std::string& nome, const std::string& conteudo,
                 std::chrono::seconds idade = std::chrono::minutes(10)) {
        std::ofstream(pasta + nome, std::ios::binary) << conteudo;
        fs::last_write_time(pasta + nome, fs::file_time_type::clock::now() - idade);
    }
    std::string le(const std::string& nome) const {
        std::ifstream entrada(pasta + nome, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(entrada), {});
    }
    Linhas naPasta() const {
        Linhas nomes;
        for (const auto& e : fs::directory_iterator(pasta)) {
            const std::string nome = e.path().filename().string();
            if (!teste::ehArquivoDaPlataforma(nome)) nomes.push_back(nome);
        }
        std::sort(nomes.begin(), nomes.end());
        return nomes;
    }
    // How many times a job went to the printer.
    long impressoes(const std::string& nome) const {
        return std::count(impressora.chamadas.begin(), impressora.chamadas.end(), "titulo " + nome);
    }
    std::string impresso(const std::string& nome) const {
        return "log Arquivo " + pasta + nome + " impresso";
    }
    std::string excluido(const std::string& nome) const {
        return "log Arquivo " + pasta + nome + " excluido";
    }

    ResumoCiclo tique() { return ciclo.timerImpressao_Timer(); }

    std::string pasta;
    Valores valores;
    ArquivosComFalhas arquivos;
    ImpressoraGravadora impressora;
    DecodificadorLatin1 decodificador;
    RelogioFixo relogio;
    DispositivosSaida saida{impressora, arquivos, decodificador, relogio};
    PerguntaFixa pergunta{false};
    Linhas diario;
    TimerGravador timer{diario};
    RegistroAtividade registro;
    CicloImpressao ciclo{valores, arquivos, saida, pergunta, timer, registro};
};

using CicloTrabalhos = Ciclo;

TEST_F(CicloTrabalhos, ImprimeEExcluiCadaTrabalhoNaOrdemDaPasta) {
    escreve("B.TXT", "linha b\r\n");
    escreve("A.TXT", "linha a\r\n");
    escreve("LEIA.DOC", "outro padrão");

    const ResumoCiclo resumo = tique();

    const Linhas esperado = {"desliga", impresso("A.TXT"), excluido("A.TXT"), "liga",
                             "desliga", impresso("B.TXT"), excluido("B.TXT"), "liga"};
    EXPECT_EQ(diario, esperado);
    EXPECT_EQ(impressora.documento(), (Linhas{"linha linha a", "fim", "linha linha b", "fim"}));
    EXPECT_EQ(impressoes("A.TXT"), 1);
    EXPECT_EQ(naPasta(), Linhas{"LEIA.DOC"});
    EXPECT_EQ(resumo.impressos, 2);
    EXPECT_EQ(resumo.falhas, 0);
    EXPECT_EQ(registro.texto(), "Arquivo " + pasta + "B.TXT excluido\r\nArquivo " + pasta +
                                    "B.TXT impresso\r\nArquivo " + pasta +
                                    "A.TXT excluido\r\nArquivo " + pasta + "A.TXT impresso\r\n");
}

TEST_F(CicloTrabalhos, TrabalhoQueChegaDuranteOTiqueEImpressoNoMesmoTique) {
    escreve("A.TXT", "a");
    impressora.aoChamar = [this](const std::string& chamada) {
        if (chamada == "titulo A.TXT") escreve("C.TXT", "c");
    };
    EXPECT_EQ(tique().impressos, 2);
    EXPECT_EQ(impressoes("C.TXT"), 1);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloTrabalhos, TrabalhoVazioTambemEImpressoEExcluido) {
    escreve("VAZIO.TXT", "");
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_EQ(impressora.documento(), Linhas{"fim"});
    EXPECT_EQ(diario, (Linhas{"desliga", impresso("VAZIO.TXT"), excluido("VAZIO.TXT"), "liga"}));
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloTrabalhos, OBackupSoLigaComOTexto1Exato) {
    for (const std::string backup : {" 1", "S", "", "0"}) {
        diario.clear();
        valores.sBackup = backup;
        escreve("A.TXT", "a");
        tique();
        EXPECT_EQ(diario, (Linhas{"desliga", impresso("A.TXT"), excluido("A.TXT"), "liga"}))
            << '"' << backup << '"';
        EXPECT_TRUE(naPasta().empty()) << '"' << backup << '"';
    }
}

struct CasoBackup {
    std::string padrao;
    std::string trabalho;
    std::string backup;
};

class CicloBackup : public Ciclo, public ::testing::WithParamInterface<CasoBackup> {};

TEST_P(CicloBackup, RenomeiaParaOBackupSubstituindoUmAnterior) {
    const CasoBackup& caso = GetParam();
    valores.sLocal = pasta + caso.padrao;
    valores.sBackup = "1";
    arquivos.renomeioNaoSubstitui = true;
    escreve(caso.trabalho, "novo conteúdo\r\n");
    escreve(caso.backup, "backup antigo");

    const ResumoCiclo resumo = tique();

    EXPECT_EQ(naPasta(), Linhas{caso.backup});
    EXPECT_EQ(le(caso.backup), "novo conteúdo\r\n");
    EXPECT_EQ(diario,
              (Linhas{"desliga", impresso(caso.trabalho), impresso(caso.trabalho), "liga"}));
    EXPECT_EQ(resumo.impressos, 1);
}

INSTANTIATE_TEST_SUITE_P(Nomes, CicloBackup,
                         ::testing::Values(CasoBackup{"*.TXT", "REL01.TXT", "REL01.bak"},
                                           CasoBackup{"REL*", "REL01", "REL01_.BAK"},
                                           CasoBackup{"*.TXT", "A.B.TXT", "A.B.bak"}));

TEST_F(CicloTrabalhos, BackupQueOPadraoTambemPegaFicaIntocado) {
    valores.sLocal = pasta + "*.*";
    valores.sBackup = "1";
    escreve("X.bak", "backup de ontem");
    escreve("REL01_.BAK", "outro backup");
    escreve("Y.BAK", "mais um");

    EXPECT_EQ(tique().impressos, 0);
    EXPECT_TRUE(diario.empty());
    EXPECT_TRUE(impressora.chamadas.empty());
    EXPECT_EQ(naPasta(), (Linhas{"REL01_.BAK", "X.bak", "Y.BAK"}));
    EXPECT_EQ(le("X.bak"), "backup de ontem");
}

using CicloSemTrabalho = Ciclo;

TEST_F(CicloSemTrabalho, NadaAconteceSemTrabalho) {
    escreve("A.TXT", "a");
    escreve("B.PRN", "b");
    const std::vector<std::string> semTrabalho = {
        "",                       // nothing configured
        pasta + "*.DOC",          // nothing matches
        ";" + pasta + "*.DOC;;",  // nothing matches either
    };
    for (const std::string& sLocal : semTrabalho) {
        valores.sLocal = sLocal;
        const ResumoCiclo resumo = tique();
        EXPECT_TRUE(diario.empty()) << sLocal;  // the timer is not touched either
        EXPECT_TRUE(impressora.chamadas.empty()) << sLocal;
        EXPECT_EQ(resumo.impressos + resumo.falhas, 0) << sLocal;
    }
    EXPECT_EQ(naPasta(), (Linhas{"A.TXT", "B.PRN"}));
}

TEST_F(CicloSemTrabalho, ListagemQueFalhaEUmaPastaSemTrabalhos) {
    escreve("A.TXT", "a");
    arquivos.listaFalha = true;
    tique();
    EXPECT_TRUE(diario.empty());
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
}

TEST_F(CicloSemTrabalho, ArquivoAindaSendoEscritoFicaParaUmTiqueSeguinte) {
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    arquivos.sendoEscritos = {pasta + "A.TXT"};

    tique();
    EXPECT_EQ(impressoes("A.TXT"), 0);
    EXPECT_EQ(diario, (Linhas{"desliga", impresso("B.TXT"), excluido("B.TXT"), "liga"}));
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});

    arquivos.sendoEscritos.clear();
    diario.clear();
    tique();
    EXPECT_EQ(impressoes("A.TXT"), 1);
    EXPECT_EQ(diario, (Linhas{"desliga", impresso("A.TXT"), excluido("A.TXT"), "liga"}));
}

TEST_F(CicloSemTrabalho, LocalComVariosPadroesPegaCadaUmNaOrdem) {
    const std::string outra = pasta + "outra/";
    fs::create_directory(outra);
    escreve("A.PRN", "a");
    escreve("B.TXT", "b");
    escreve("outra/C.TXT", "c");
    valores.sLocal = pasta + "*.TXT;;" + outra + "*.TXT;" + pasta + "*.PRN;";

    EXPECT_EQ(tique().impressos, 3);
    EXPECT_EQ(impressora.documento(),
              (Linhas{"linha b", "fim", "linha c", "fim", "linha a", "fim"}));
    EXPECT_EQ(diario.at(1), impresso("B.TXT"));
    EXPECT_EQ(diario.at(5), "log Arquivo " + outra + "C.TXT impresso");
    EXPECT_EQ(naPasta(), Linhas{"outra"});
}

TEST_F(CicloSemTrabalho, LocalQueNadaPodeEncontrarEDitoUmaVez) {
    escreve("A.TXT", "a");
    valores.sLocal = pasta + "naoexiste/*.TXT;C:\\VIDEO\\*.TXT";
    tique();
    tique();
    const std::string naoExiste =
        "log LOCAL " + pasta + "naoexiste/*.TXT: a pasta " + pasta + "naoexiste/ não existe";
#ifdef _WIN32
    // There "\\" is a separator: one more folder that does not exist, told in the folders' order.
    EXPECT_EQ(diario,
              (Linhas{"log LOCAL C:\\VIDEO\\*.TXT: a pasta C:\\VIDEO\\ não existe", naoExiste}));
#else
    EXPECT_EQ(diario, (Linhas{naoExiste,
                              "log LOCAL C:\\VIDEO\\*.TXT: as pastas se separam com / (a \\ é "
                              "do Windows); nenhum arquivo corresponde a este padrão"}));
#endif
    EXPECT_TRUE(impressora.chamadas.empty());
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});

    // Once the folder exists its jobs are taken; a LOCAL without ";" is one pattern as before.
    diario.clear();
    valores.sLocal = pasta + "*.TXT";
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_EQ(diario, (Linhas{"desliga", impresso("A.TXT"), excluido("A.TXT"), "liga"}));
}

TEST_F(CicloTrabalhos, ComBackupCadaTrabalhoCustaUmaSoListagem) {
    valores.sBackup = "1";
    for (int i = 0; i < 5; ++i) escreve("R" + std::to_string(i) + ".TXT", "r");
    escreve("R0.bak", "backup antigo");
    EXPECT_EQ(tique().impressos, 5);
    EXPECT_EQ(arquivos.listagens(), 6);
    EXPECT_EQ(le("R0.bak"), "r");
}

TEST(CicloPastaAtual, PadraoSemPastaUsaAPastaAtual) {
    const fs::path anterior = fs::current_path();
    const std::string modelo = teste::pastaTemporariaNova("velmora-atual");
    fs::current_path(modelo);
    std::ofstream("REL01.TXT") << "x\r\n";
    fs::last_write_time("REL01.TXT", fs::file_time_type::clock::now() - std::chrono::minutes(1));

    Valores valores;
    valores.sLocal = "*.txt";
    valores.sBackup = "1";
    SistemaArquivosNativo arquivos;
    ImpressoraGravadora impressora;
    DecodificadorLatin1 decodificador;
    RelogioFixo relogio;
    DispositivosSaida saida{impressora, arquivos, decodificador, relogio};
    PerguntaFixa pergunta;
    Linhas diario;
    TimerGravador timer{diario};
    RegistroAtividade registro;
    CicloImpressao ciclo{valores, arquivos, saida, pergunta, timer, registro};

    const ResumoCiclo resumo = ciclo.timerImpressao_Timer();
    const bool backupFeito = fs::exists("REL01.bak") && !fs::exists("REL01.TXT");
    fs::current_path(anterior);
    fs::remove_all(modelo);

    EXPECT_EQ(resumo.impressos, 1);
    EXPECT_TRUE(backupFeito);
    EXPECT_EQ(registro.texto(), "Arquivo REL01.TXT impresso\r\nArquivo REL01.TXT impresso\r\n");
}

// A job is removed only after its whole output was handed over.
using CicloFalhas = Ciclo;

TEST_F(CicloFalhas, ImpressaoQueFalhaDeixaOArquivoEDizPorque) {
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    impressora.falharEm = "titulo A.TXT";
    impressora.motivoFalha = "a impressora HP não existe";

    const ResumoCiclo resumo = tique();

    const std::string erro =
        "log Erro ao imprimir o arquivo " + pasta + "A.TXT: a impressora HP não existe";
    EXPECT_EQ(diario, (Linhas{"desliga", erro, "liga", "desliga", impresso("B.TXT"),
                              excluido("B.TXT"), "liga"}));
    EXPECT_EQ(impressoes("A.TXT"), 1);  // tried once in this tick, not again
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
    EXPECT_EQ(le("A.TXT"), "a");
    EXPECT_EQ(resumo.impressos, 1);
    EXPECT_EQ(resumo.falhas, 1);

    // The next tick tries it again.
    impressora.falharEm.clear();
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloFalhas, PortaNaoConfiguradaNaoPerdeOTrabalho) {
    valores.sParalela = "1";
    valores.sPorta = "";
    escreve("A.TXT", "a");

    EXPECT_EQ(tique().falhas, 1);
    EXPECT_EQ(diario, (Linhas{"desliga",
                              "log Erro ao imprimir o arquivo " + pasta +
                                  "A.TXT: a porta de saída (PORTA) não foi configurada",
                              "liga"}));
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
}

TEST_F(CicloFalhas, ArquivoQueNaoPodeSerLidoFicaOndeEsta) {
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    arquivos.naoLe = {pasta + "A.TXT"};

    const ResumoCiclo resumo = tique();

    EXPECT_EQ(pergunta.perguntas,
              Linhas{"Deu erro ao abrir o arquivo " + pasta + "A.TXT. Tentar novamente ?"});
    EXPECT_EQ(
        diario,
        (Linhas{
            "desliga",
            "log Erro ao imprimir o arquivo " + pasta + "A.TXT: Resource temporarily unavailable",
            "log Arquivo " + pasta + "A.TXT ignorado até ser alterado ou o Velmora ser reiniciado",
            "liga", "desliga", impresso("B.TXT"), excluido("B.TXT"), "liga"}));
    EXPECT_EQ(impressoes("A.TXT"), 0);
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
    EXPECT_EQ(resumo.falhas, 1);
}

TEST_F(CicloFalhas, ArquivoRecusadoNaoEPerguntadoDeNovoAteMudar) {
    escreve("A.TXT", "a");
    arquivos.naoLe = {pasta + "A.TXT"};
    tique();
    ASSERT_EQ(pergunta.perguntas.size(), 1u);
    EXPECT_EQ(diario.at(2), "log Arquivo " + pasta +
                                "A.TXT ignorado até ser alterado ou o Velmora ser reiniciado");

    diario.clear();
    tique();
    tique();
    EXPECT_EQ(pergunta.perguntas.size(), 1u);
    EXPECT_TRUE(diario.empty());

    // Its permissions change (the user fixes them): asked, and read, again. Windows keeps no
    // permission bits in the file; a new time stands for the change there.
#ifdef _WIN32
    fs::last_write_time(pasta + "A.TXT", fs::file_time_type::clock::now() - std::chrono::hours(1));
#else
    fs::permissions(pasta + "A.TXT", fs::perms::others_read, fs::perm_options::remove);
#endif
    arquivos.naoLe.clear();
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloFalhas, ErroInesperadoNumTrabalhoNaoParaOTique) {
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    arquivos.leComErroAlheio = {pasta + "A.TXT"};

    tique();

    EXPECT_EQ(diario,
              (Linhas{"desliga",
                      "log Erro ao imprimir o arquivo " + pasta + "A.TXT: arquivo grande demais",
                      "liga", "desliga", impresso("B.TXT"), excluido("B.TXT"), "liga"}));
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
}

TEST_F(CicloFalhas, ArquivoImpressoQueNaoSaiDaPastaNaoEImpressoDeNovo) {
    for (const std::string backup : {"0", "1"}) {
        SCOPED_TRACE("sBackup " + backup);
        valores.sBackup = backup;
        diario.clear();
        impressora.chamadas.clear();
        escreve("A.TXT", "a");
        escreve("B.TXT", "b");
        arquivos.naoExclui = {pasta + "A.TXT"};

        ResumoCiclo resumo = tique();

        const std::string erro =
            "log Erro ao excluir o arquivo " + pasta + "A.TXT: Operation not permitted";
        const std::string fimDeB = backup == "1" ? impresso("B.TXT") : excluido("B.TXT");
        EXPECT_EQ(diario, (Linhas{"desliga", impresso("A.TXT"), erro, "liga", "desliga",
                                  impresso("B.TXT"), fimDeB, "liga"}));
        EXPECT_EQ(resumo.impressos, 1);
        EXPECT_EQ(resumo.falhas, 1);

        // Later ticks leave it alone while it stays as it was.
        diario.clear();
        tique();
        tique();
        EXPECT_TRUE(diario.empty());
        EXPECT_EQ(impressoes("A.TXT"), 1);

        // New content under the same name is a new job.
        escreve("A.TXT", "a, segunda via");
        arquivos.naoExclui.clear();
        tique();
        EXPECT_EQ(impressoes("A.TXT"), 2);
        EXPECT_EQ(naPasta(), backup == "1" ? (Linhas{"A.bak", "B.bak"}) : Linhas{});
        fs::remove_all(pasta);
        fs::create_directory(pasta);
    }
}

TEST_F(CicloFalhas, ArquivoQueSumiuEVoltouIgualEUmTrabalhoNovo) {
    const auto quando = fs::file_time_type::clock::now() - std::chrono::hours(1);
    escreve("A.TXT", "a");
    fs::last_write_time(pasta + "A.TXT", quando);
    arquivos.naoExclui = {pasta + "A.TXT"};
    tique();
    ASSERT_EQ(impressoes("A.TXT"), 1);

    // Removed by hand; then a job with the same name, size and time arrives.
    fs::remove(pasta + "A.TXT");
    tique();
    escreve("A.TXT", "b");
    fs::last_write_time(pasta + "A.TXT", quando);
    arquivos.naoExclui.clear();

    tique();
    EXPECT_EQ(impressoes("A.TXT"), 2);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloFalhas, BackupAntigoQueNaoSaiSoImpedeORenomeioOndeElePrecisaSair) {
    valores.sBackup = "1";
    escreve("A.TXT", "novo");
    escreve("A.bak", "velho");
    arquivos.naoExclui = {pasta + "A.bak"};

    // Where a rename replaces its target, the old backup is simply replaced.
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_EQ(naPasta(), Linhas{"A.bak"});
    EXPECT_EQ(le("A.bak"), "novo");

    // Where it does not, the job stays under its own name and the log says why.
    escreve("A.TXT", "outro");
    arquivos.renomeioNaoSubstitui = true;
    diario.clear();
    EXPECT_EQ(tique().falhas, 1);
    EXPECT_EQ(diario,
              (Linhas{"desliga", impresso("A.TXT"),
                      "log Erro ao excluir o arquivo " + pasta + "A.TXT: File exists", "liga"}));
    EXPECT_EQ(naPasta(), (Linhas{"A.TXT", "A.bak"}));
    EXPECT_EQ(le("A.bak"), "novo");
}

// Two spoolers on one folder: a job is handled by the one that holds its lock, never by both.
using CicloDuasInstancias = Ciclo;

// The lock another spooler takes: the platform's own, through a handle or descriptor of its own
// (which excludes also a spooler in this same process).
class TravaAlheia {
  public:
    explicit TravaAlheia(const std::string& caminho)
        : trava_(SistemaArquivosNativo().trava(caminho)) {}
    bool travada() const { return trava_ != nullptr; }

  private:
    std::unique_ptr<TravaArquivo> trava_;
};

TEST_F(CicloDuasInstancias, TrabalhoTravadoPorOutroFicaParaOutroTiqueSemErro) {
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    {
        TravaAlheia outro(pasta + "A.TXT");
        ASSERT_TRUE(outro.travada());
        const ResumoCiclo resumo = tique();
        EXPECT_EQ(diario, (Linhas{"desliga", impresso("B.TXT"), excluido("B.TXT"), "liga"}));
        EXPECT_EQ(impressoes("A.TXT"), 0);
        EXPECT_EQ(resumo.falhas, 0);
        EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
    }
    diario.clear();
    EXPECT_EQ(tique().impressos, 1);
    EXPECT_EQ(impressoes("A.TXT"), 1);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloDuasInstancias, TrabalhoQueOOutroJaTerminouDepoisDaListagemNaoSaiDeNovo) {
    struct Caso {
        const char* descricao;
        std::string backup;
        std::function<void(const std::string&)> outro;
    };
    const std::vector<Caso> casos = {
        {"excluído", "0", [](const std::string& c) { fs::remove(c); }},
        {"renomeado para o backup", "1",
         [this](const std::string&) { fs::rename(pasta + "A.TXT", pasta + "A.bak"); }},
        // Same name, other content: a new job, left for a later tick, never mixed with the old.
        {"substituído", "0", [this](const std::string&) { escreve("A.TXT", "a, outra via"); }},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.descricao);
        fs::remove_all(pasta);
        fs::create_directory(pasta);
        diario.clear();
        impressora.chamadas.clear();
        valores.sBackup = caso.backup;
        escreve("A.TXT", "a");
        arquivos.antesDeTravar = [&](const std::string& caminho) {
            arquivos.antesDeTravar = nullptr;
            caso.outro(caminho);
        };

        const ResumoCiclo resumo = tique();

        EXPECT_EQ(impressoes("A.TXT"), 0);
        EXPECT_TRUE(diario.empty());
        EXPECT_EQ(resumo.impressos + resumo.falhas, 0);
    }
    // The replacement is printed by the next tick, whole.
    tique();
    EXPECT_EQ(impressora.documento(), (Linhas{"linha a, outra via", "fim"}));
}

TEST_F(CicloDuasInstancias, TrabalhoQueNaoSaiDaPastaNaoEImpressoPeloOutro) {
    escreve("A.TXT", "a");
    arquivos.naoExclui = {pasta + "A.TXT"};
    ASSERT_EQ(tique().falhas, 1);
    ASSERT_EQ(impressoes("A.TXT"), 1);

    // A second spooler over the same folder, with its own state.
    SistemaArquivosNativo arquivosDoOutro;
    ImpressoraGravadora impressoraDoOutro;
    DispositivosSaida saidaDoOutro{impressoraDoOutro, arquivosDoOutro, decodificador, relogio};
    Linhas diarioDoOutro;
    TimerGravador timerDoOutro{diarioDoOutro};
    RegistroAtividade registroDoOutro;
    CicloImpressao outro{valores,  arquivosDoOutro, saidaDoOutro,
                         pergunta, timerDoOutro,    registroDoOutro};

    const ResumoCiclo resumo = outro.timerImpressao_Timer();
    EXPECT_TRUE(impressoraDoOutro.chamadas.empty());
    EXPECT_TRUE(diarioDoOutro.empty());
    EXPECT_EQ(resumo.impressos + resumo.falhas, 0);
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
}

// A job written anew under its name while it prints: the new content stays, as a new job.
TEST_F(CicloFalhas, TrabalhoReescritoDuranteAImpressaoFicaComoNovoTrabalho) {
    const auto quando = fs::file_time_type::clock::now() - std::chrono::hours(1);
    struct Caso {
        const char* descricao;
        std::function<void()> reescreve;
    };
    const std::vector<Caso> casos = {
        {"no mesmo arquivo", [&] { escreve("A.TXT", "segunda via, mais longa"); }},
        // Another file moved over it, with the same size and time: only its identity differs.
        {"outro arquivo com o mesmo nome",
         [&] {
             escreve("novo", "b");
             fs::last_write_time(pasta + "novo", quando);
             fs::rename(pasta + "novo", pasta + "A.TXT");
         }},
    };
    valores.sBackup = "1";
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.descricao);
        escreve("A.bak", "backup do trabalho anterior");
        escreve("A.TXT", "a");
        fs::last_write_time(pasta + "A.TXT", quando);
        const std::string depois = caso.descricao[0] == 'n' ? "segunda via, mais longa" : "b";
        impressora.chamadas.clear();
        diario.clear();
        bool reescrito = false;
        impressora.aoChamar = [&](const std::string& chamada) {
            if (chamada == "titulo A.TXT" && !std::exchange(reescrito, true)) caso.reescreve();
        };

        tique();
        EXPECT_EQ(diario, (Linhas{"desliga", impresso("A.TXT"),
                                  "log Arquivo " + pasta +
                                      "A.TXT foi alterado durante a impressão; não foi excluído "
                                      "e será impresso de novo como um novo trabalho",
                                  "liga"}));
        EXPECT_EQ(le("A.TXT"), depois);
        EXPECT_EQ(le("A.bak"), "backup do trabalho anterior");

        tique();
        EXPECT_EQ(impressora.documento(), (Linhas{"linha a", "fim", "linha " + depois, "fim"}));
        EXPECT_EQ(naPasta(), Linhas{"A.bak"});
        EXPECT_EQ(le("A.bak"), depois);
    }
}

// What a runner keeps between two runs, here in memory.
class EstadoEmMemoria : public GuardaEstado {
  public:
    std::string le() override { return texto; }
    void grava(const std::string& novo) override { texto = novo; }
    std::string texto;
};

TEST_F(CicloFalhas, ArquivoQueNaoSaiNaoEImpressoDeNovoNaExecucaoSeguinte) {
    EstadoEmMemoria estado;
    escreve("A.TXT", "a");
    escreve("B.TXT", "b");
    arquivos.naoExclui = {pasta + "A.TXT", pasta + "B.TXT"};
    const auto execucao = [&] {
        CicloImpressao ciclo{valores, arquivos, saida, pergunta, timer, registro, &estado};
        return ciclo.timerImpressao_Timer();
    };
    ASSERT_EQ(execucao().falhas, 2);
    fs::remove(pasta + "B.TXT");  // removed by hand: forgotten

    for (int i = 0; i < 3; ++i) {
        diario.clear();
        const ResumoCiclo resumo = execucao();
        EXPECT_EQ(resumo.impressos + resumo.falhas, 0);
        EXPECT_TRUE(diario.empty());
    }
    EXPECT_EQ(impressoes("A.TXT"), 1);
    EXPECT_EQ(estado.texto.find("B.TXT"), std::string::npos);

    // Changed, it is a new job.
    escreve("A.TXT", "a, segunda via");
    arquivos.naoExclui.clear();
    EXPECT_EQ(execucao().impressos, 1);
    EXPECT_EQ(impressoes("A.TXT"), 2);
}

using CicloBruto = Ciclo;

// A job far larger than a reading block, with the line ends that can fall on a block's edge:
// a lone CR, a CR LF cut in two, a lone LF, and a lone CR at its very end.
std::string jobGrandeComBordas(std::size_t tamanho) {
    std::string job;
    job.reserve(tamanho + 1);
    for (std::size_t i = 0; job.size() < tamanho; ++i) {
        job += "LINHA " + std::to_string(i) + (i % 5 == 0 ? "\r" : i % 7 == 0 ? "\n" : "\r\n");
    }
    constexpr std::size_t kBloco = 256 * 1024;
    for (std::size_t borda = kBloco; borda + 1 < job.size(); borda += kBloco) {
        job[borda - 1] = '\r';
        job[borda] = (borda / kBloco) % 2 ? 'x' : '\n';
    }
    job.back() = '\r';
    return job;
}

TEST_F(CicloBruto, JobGrandeLidoEmBlocosSaiComOsBytesDoTextoInteiro) {
    valores.sParalela = "1";
    valores.sPorta = "LPT2";
    escreve("GRANDE.TXT", jobGrandeComBordas(100 * 1024 * 1024));

    // What the whole-text path hands over for this file.
    Valores inteiro = valores;
    const JobLido lido =
        le_conteudo(pasta, "GRANDE.TXT", inteiro, arquivos, decodificador, pergunta);
    ASSERT_TRUE(lido.lido);
    ASSERT_TRUE(Imprimir(lido.texto, inteiro, "GRANDE.TXT", saida).ok);
    const std::string esperado = std::move(impressora.bytesBrutos);
    ASSERT_GT(esperado.size(), 100u * 1024 * 1024);

    EXPECT_EQ(tique().impressos, 1);
    EXPECT_EQ(impressora.bytesBrutos.size(), esperado.size());
    EXPECT_TRUE(impressora.bytesBrutos == esperado);
    EXPECT_TRUE(naPasta().empty());
}

TEST_F(CicloBruto, ArquivoQueNaoPodeSerLidoNaoVaiParaAPortaEFicaOndeEsta) {
    valores.sParalela = "1";
    valores.sPorta = "LPT2";
    escreve("A.TXT", "a");
    arquivos.naoLe = {pasta + "A.TXT"};

    EXPECT_EQ(tique().falhas, 1);
    // The reader's question, not a failure of the temporary file: the job is set aside as one
    // that cannot be read, and the port never sees it.
    EXPECT_EQ(pergunta.perguntas.size(), 1u);
    EXPECT_NE(std::find(diario.begin(), diario.end(),
                        "log Arquivo " + pasta +
                            "A.TXT ignorado até ser alterado ou o Velmora ser reiniciado"),
              diario.end());
    EXPECT_TRUE(impressora.arquivoBruto.empty());
    EXPECT_EQ(naPasta(), Linhas{"A.TXT"});
}

}  // namespace
}  // namespace velmora
