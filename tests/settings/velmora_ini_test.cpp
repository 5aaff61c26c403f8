#include "settings/Velmora_INI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>

namespace velmora {
namespace {

namespace fs = std::filesystem;

const std::string kCincoVazias =
    "LOCAL = \r\nIMPRESSORA = \r\nBACKUP = \r\nPARALELA = \r\nPORTA = \r\n";

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ArquivoIni : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device aleatorio;
        pasta = fs::temp_directory_path() /
                ("velmora-ini-" + std::to_string(aleatorio()) + "-" + std::to_string(aleatorio()));
        ASSERT_TRUE(fs::create_directory(pasta));
        cfg.sArquivoIni = (pasta / "VELMORA.INI").string();
    }
    void TearDown() override {
        std::error_code erro;
        fs::remove_all(pasta, erro);
    }

    void escreve(const std::string& bytes) {
        std::ofstream saida(cfg.sArquivoIni, std::ios::binary | std::ios::trunc);
        saida << bytes;
        ASSERT_TRUE(saida.good());
    }
    std::string conteudo(const std::string& caminho) {
        std::ifstream entrada(caminho, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(entrada), {});
    }
    void le(const std::string& bytes) {
        escreve(bytes);
        LerIni(cfg, cfg.sArquivoIni);
    }

    fs::path pasta;
    Configuracao cfg;
};

class GravacaoIni : public ArquivoIni {};

TEST_F(GravacaoIni, CincoLinhasNaOrdemComCrLf) {
    cfg.sLocal = "/var/spool/VIDEO/*.TXT";
    cfg.sImpressora = "Matricial";
    cfg.sBackup = "1";
    cfg.sParalela = "0";
    cfg.sPorta = "LPT2";
    GravarIni(cfg, cfg.sArquivoIni);
    EXPECT_EQ(conteudo(cfg.sArquivoIni),
              "LOCAL = /var/spool/VIDEO/*.TXT\r\nIMPRESSORA = Matricial\r\nBACKUP = 1\r\n"
              "PARALELA = 0\r\nPORTA = LPT2\r\n");
}

TEST_F(GravacaoIni, ValoresVaziosTerminamNoBrancoEArquivoAntigoSome) {
    escreve("LOCAL = uma linha bem mais comprida do que o arquivo novo vai ter\r\n" +
            std::string(500, '#'));
    GravarIni(cfg, cfg.sArquivoIni);
    EXPECT_EQ(conteudo(cfg.sArquivoIni), kCincoVazias);
}

TEST_F(GravacaoIni, GravarELerDeVoltaDaOsMesmosValores) {
    cfg.sLocal = "/home/loja/relatórios/*.PRN";
    cfg.sImpressora = "HP LaserJet = sala 2";
    cfg.sBackup = "1";
    cfg.sParalela = "1";
    cfg.sPorta = "\\\\serv\\imp";
    GravarIni(cfg, cfg.sArquivoIni);

    Configuracao lida;
    lida.sArquivoIni = cfg.sArquivoIni;
    LerIni(lida, cfg.sArquivoIni);
    EXPECT_EQ(lida.sLocal, cfg.sLocal);
    EXPECT_EQ(lida.sImpressora, cfg.sImpressora);
    EXPECT_EQ(lida.sBackup, "1");
    EXPECT_EQ(lida.sParalela, "1");
    EXPECT_EQ(lida.sPorta, "\\\\serv\\imp");
}

TEST_F(GravacaoIni, PrimeiraExecucaoCriaOArquivoComValoresVazios) {
    ASSERT_FALSE(fs::exists(cfg.sArquivoIni));
    LerIni(cfg, cfg.sArquivoIni);
    EXPECT_EQ(conteudo(cfg.sArquivoIni), kCincoVazias);
    EXPECT_EQ(cfg.sLocal, "");
    EXPECT_EQ(cfg.sImpressora, "");
    EXPECT_EQ(cfg.sBackup, "");
    EXPECT_EQ(cfg.sParalela, "");
    EXPECT_EQ(cfg.sPorta, "");
}

TEST_F(GravacaoIni, ArquivoAusenteEhGravadoComOsValoresAtuais) {
    cfg.sLocal = "/v/*.TXT";
    cfg.sBackup = "1";
    LerIni(cfg, cfg.sArquivoIni);
    EXPECT_EQ(conteudo(cfg.sArquivoIni),
              "LOCAL = /v/*.TXT\r\nIMPRESSORA = \r\nBACKUP = 1\r\nPARALELA = \r\nPORTA = \r\n");
    EXPECT_EQ(cfg.sLocal, "/v/*.TXT");
}

TEST_F(GravacaoIni, CaminhoVazioGravaNoArquivoDaConfiguracaoEFalhaAoAbrir) {
    cfg.sPorta = "LPT2";
    EXPECT_THROW(LerIni(cfg, ""), ErroIni);
    EXPECT_EQ(conteudo(cfg.sArquivoIni),
              "LOCAL = \r\nIMPRESSORA = \r\nBACKUP = \r\nPARALELA = \r\nPORTA = LPT2\r\n");
}

class LeituraIni : public ArquivoIni {
  protected:
    void SetUp() override {
        ArquivoIni::SetUp();
        cfg.sLocal = "local antigo";
        cfg.sImpressora = "impressora antiga";
        cfg.sBackup = "0";
        cfg.sParalela = "0";
        cfg.sPorta = "porta antiga";
    }
};

TEST_F(LeituraIni, BrancosEmVoltaDaChaveEDoValor) {
    le("LOCAL=/v/*.TXT\r\n");
    EXPECT_EQ(cfg.sLocal, "/v/*.TXT");
    cfg.sLocal.clear();
    le("    LOCAL     =      /v/*.TXT      \r\n");
    EXPECT_EQ(cfg.sLocal, "/v/*.TXT");
}

TEST_F(LeituraIni, SoChavesExatasEmMaiusculas) {
    le("local = /x/*.TXT\r\nLocal = /y\r\nLOCALIDADE = /z\r\n\tLOCAL = /t\r\nsem "
       "igual\r\n\r\n=\r\n");
    EXPECT_EQ(cfg.sLocal, "local antigo");
    EXPECT_EQ(cfg.sImpressora, "impressora antiga");
    EXPECT_EQ(cfg.sPorta, "porta antiga");
}

TEST_F(LeituraIni, ValorGuardaOsIguaisSeguintesEOsTabs) {
    le("PORTA = a=b\r\n");
    EXPECT_EQ(cfg.sPorta, "a=b");
    le("PORTA = \\\\serv\\imp\r\n");
    EXPECT_EQ(cfg.sPorta, "\\\\serv\\imp");
    le("PORTA =\tLPT2\t\r\n");
    EXPECT_EQ(cfg.sPorta, "\tLPT2\t");
    le("IMPRESSORA = \r\n");
    EXPECT_EQ(cfg.sImpressora, "");
}

TEST_F(LeituraIni, UltimaOcorrenciaVale) {
    le("LOCAL = /primeiro\r\nPORTA = p\r\nLOCAL = /segundo\r\n");
    EXPECT_EQ(cfg.sLocal, "/segundo");
}

TEST_F(LeituraIni, ChaveAusenteGuardaOValorAnterior) {
    le("BACKUP = 1");
    EXPECT_EQ(cfg.sBackup, "1");
    EXPECT_EQ(cfg.sLocal, "local antigo");
    EXPECT_EQ(cfg.sImpressora, "impressora antiga");
    EXPECT_EQ(cfg.sParalela, "0");
    EXPECT_EQ(cfg.sPorta, "porta antiga");

    le("");
    EXPECT_EQ(cfg.sBackup, "1") << "an empty file sets nothing";
}

TEST_F(LeituraIni, FinsDeLinhaCrLfCrELf) {
    le("LOCAL = /a\nIMPRESSORA = b\r\nBACKUP = 1\rPARALELA = 1\n\nPORTA = e");
    EXPECT_EQ(cfg.sLocal, "/a");
    EXPECT_EQ(cfg.sImpressora, "b");
    EXPECT_EQ(cfg.sBackup, "1");
    EXPECT_EQ(cfg.sParalela, "1");
    EXPECT_EQ(cfg.sPorta, "e");
}

TEST_F(LeituraIni, MarcaDeOrdemDeBytesNoInicioEhIgnorada) {
    le("\xEF\xBB\xBFLOCAL = /v/*.TXT\r\nPORTA = \xEF\xBB\xBF\r\n");
    EXPECT_EQ(cfg.sLocal, "/v/*.TXT");
    EXPECT_EQ(cfg.sPorta, "\xEF\xBB\xBF") << "only at the start of the file";
}

TEST_F(LeituraIni, LinhaDe100000Caracteres) {
    const std::string longo(100000, 'x');
    le("IMPRESSORA = " + longo + "\r\nPORTA = LPT2\r\n");
    EXPECT_EQ(cfg.sImpressora, longo);
    EXPECT_EQ(cfg.sPorta, "LPT2");
}

TEST(LinhaIni, ChaveEValorSeparadosNoPrimeiroIgual) {
    EXPECT_EQ(ChaveIni("LOCAL = /v"), "LOCAL");
    EXPECT_EQ(ValorIni("LOCAL = /v"), "/v");
    EXPECT_EQ(ChaveIni(" A = B = C "), "A");
    EXPECT_EQ(ValorIni(" A = B = C "), "B = C");
    EXPECT_EQ(ChaveIni("="), "");
    EXPECT_EQ(ValorIni("="), "");
    EXPECT_EQ(ChaveIni("   =   "), "");
    EXPECT_EQ(ChaveIni("SEM IGUAL"), "");
    EXPECT_EQ(ValorIni("SEM IGUAL"), "");
    EXPECT_EQ(ChaveIni(""), "");
    EXPECT_EQ(ChaveIni("\tA\t= x"), "\tA\t");
}

// A name with accents is the same file for writing and reading (Windows' standard library would
// take a plain std::string in the ANSI code page), and the file's own code page, when the program
// sets one, is converted at the edge in both directions.
TEST_F(GravacaoIni, NomeAcentuadoECodificacaoDoArquivo) {
    const std::string caminho = (pasta / "x").string() + "\xC3\xA7\xC3\xA3o.ini";  // "xção.ini"
    // "ç" as Windows-1252 writes it, one byte.
    auto troca = [](std::string_view texto, std::string_view de, std::string_view para) {
        std::string saida(texto);
        for (auto i = saida.find(de); i != std::string::npos; i = saida.find(de, i + para.size()))
            saida.replace(i, de.size(), para);
        return saida;
    };
    defineCodificacaoIni({[&](std::string_view b) { return troca(b, "\xE7", "\xC3\xA7"); },
                          [&](std::string_view t) { return troca(t, "\xC3\xA7", "\xE7"); }});
    cfg.sLocal = "C:\\A\xC3\xA7\\*.TXT";
    GravarIni(cfg, caminho);
    std::ifstream entrada(pasta / fs::path(u8"x\u00E7\u00E3o.ini"), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(entrada), {});
    Configuracao lida;
    LerIni(lida, caminho);
    defineCodificacaoIni({});
    EXPECT_EQ(bytes.rfind("LOCAL = C:\\A\xE7\\*.TXT\r\n", 0), 0u) << bytes;
    EXPECT_EQ(lida.sLocal, cfg.sLocal);
}

class ErroArquivoIni : public ArquivoIni {};

// The message a person sees: what failed, which file, and why.
void esperaErro(const std::function<void()>& acao, const std::string& inicio,
                const std::string& motivo) {
    try {
        acao();
        ADD_FAILURE() << "no ErroIni";
    } catch (const ErroIni& erro) {
        const std::string texto = erro.what();
        EXPECT_EQ(texto.rfind(inicio, 0), 0u) << texto;
        EXPECT_NE(texto.find(motivo), std::string::npos) << texto;
    }
}

TEST_F(ErroArquivoIni, PastaInexistenteAoGravar) {
    const std::string caminho = (pasta / "nao-existe" / "VELMORA.INI").string();
    esperaErro([&] { GravarIni(cfg, caminho); },
               "Não foi possível gravar o arquivo de configuração " + caminho + ": ",
               "No such file or directory");
}

// Windows says a file in the way of a folder is missing, and refuses to open a folder at all.
#ifdef _WIN32
const char* const kArquivoNoCaminho = "No such file or directory";
const char* const kLerPasta = "abrir";
const char* const kEhPasta = "Permission denied";
#else
const char* const kArquivoNoCaminho = "Not a directory";
const char* const kLerPasta = "ler";
const char* const kEhPasta = "Is a directory";
#endif

TEST_F(ErroArquivoIni, PrimeiraExecucaoSemPoderCriar) {
    escreve("não é pasta");
    cfg.sArquivoIni = cfg.sArquivoIni + "/VELMORA.INI";
    esperaErro([&] { LerIni(cfg, cfg.sArquivoIni); },
               "Não foi possível gravar o arquivo de configuração " + cfg.sArquivoIni + ": ",
               kArquivoNoCaminho);
}

TEST_F(ErroArquivoIni, PastaNoLugarDoArquivoAoLer) {
    const std::string caminho = (pasta / "VELMORA.INI.d").string();
    fs::create_directory(caminho);
    esperaErro([&] { LerIni(cfg, caminho); },
               std::string("Não foi possível ") + kLerPasta + " o arquivo de configuração " +
                   caminho + ": ",
               kEhPasta);
}

TEST_F(ErroArquivoIni, DiscoCheioNaoPassaCalado) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    esperaErro(
        [&] { GravarIni(cfg, "/dev/full"); },
        "Não foi possível gravar o arquivo de configuração /dev/full: ", "No space left on device");
}

}  // namespace
}  // namespace velmora
