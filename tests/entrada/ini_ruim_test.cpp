// Settings files that are not what an editor would write: binary, huge, other encodings. None
// stops the reading; only lines of the right form set a value.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "apoio/Bancada.h"
#include "settings/Velmora_INI.h"

namespace velmora {
namespace {

using teste::Bancada;
using namespace std::string_literals;

class IniRuim : public ::testing::Test {
  protected:
    void SetUp() override {
        cfg.sArquivoIni = b.caminho("VELMORA.INI");
        cfg.sLocal = "local antigo";
        cfg.sImpressora = "impressora antiga";
        cfg.sBackup = "0";
        cfg.sParalela = "0";
        cfg.sPorta = "porta antiga";
    }
    void le(const std::string& conteudo) {
        b.escreve("VELMORA.INI", conteudo);
        LerIni(cfg, cfg.sArquivoIni);
    }

    Bancada b;
    Configuracao cfg;
};

TEST_F(IniRuim, BinarioSoTomaAsLinhasReconheciveis) {
    std::string lixo;
    for (int i = 0; i < 4096; ++i) lixo += static_cast<char>((i * 37 + 11) % 256);
    le(lixo + "\r\nBACKUP = 1\r\n" + lixo + "\nPORTA = /dev/lp\0"s + "0\r\n" + lixo);
    EXPECT_EQ(cfg.sBackup, "1");
    EXPECT_EQ(cfg.sPorta, std::string("/dev/lp\0"
                                      "0",
                                      9));
    EXPECT_EQ(cfg.sImpressora, "impressora antiga");
    // The bytes of the garbage hold no line of the five keys.
    EXPECT_EQ(cfg.sLocal, "local antigo");
}

TEST_F(IniRuim, GrandeComUmaLinhaDeUmMegaAindaLeOResto) {
    const std::string valor(1 << 20, 'p');
    std::string conteudo;
    for (int i = 0; i < 200000; ++i)
        conteudo += "COMENTARIO QUALQUER " + std::to_string(i) + "\r\n";
    conteudo += "PORTA = " + valor + "\r\nLOCAL = /srv/spool/*.TXT\r\n";
    le(conteudo);
    EXPECT_EQ(cfg.sPorta, valor);
    EXPECT_EQ(cfg.sLocal, "/srv/spool/*.TXT");
}

TEST_F(IniRuim, MarcaDeOrdemDeBytesSozinhaOuAntesDeCrLf) {
    le("\xEF\xBB\xBF");
    EXPECT_EQ(cfg.sLocal, "local antigo");
    le("\xEF\xBB\xBF\r\nLOCAL = /a/*.TXT\r\n");
    EXPECT_EQ(cfg.sLocal, "/a/*.TXT");
    // Only the first three bytes are a mark; a second one belongs to the key, which then is none.
    le("\xEF\xBB\xBF\xEF\xBB\xBFLOCAL = /b/*.TXT\r\n");
    EXPECT_EQ(cfg.sLocal, "/a/*.TXT");
}

TEST_F(IniRuim, Utf16DoBlocoDeNotasNaoViraValorNenhum) {
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("LOCAL = /a/*.TXT\r\nBACKUP = 1\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    le(utf16);
    EXPECT_EQ(cfg.sLocal, "local antigo");
    EXPECT_EQ(cfg.sBackup, "0");
}

TEST_F(IniRuim, SemIgualNenhumNadaMuda) {
    le("LOCAL /a/*.TXT\r\nIMPRESSORA\r\nBACKUP 1\r\n\r\n\r\n");
    EXPECT_EQ(cfg.sLocal, "local antigo");
    EXPECT_EQ(cfg.sImpressora, "impressora antiga");
    EXPECT_EQ(cfg.sBackup, "0");
}

TEST_F(IniRuim, DuplicadasEMinusculasMisturadas) {
    le("LOCAL = /primeira\r\nlocal = /minuscula\r\nLocal = /mista\r\n LOCAL = /ultima \r\n"
       "BACKUP=1\r\nBACKUP =\r\n");
    EXPECT_EQ(cfg.sLocal, "/ultima");
    EXPECT_EQ(cfg.sBackup, "");
}

// The message names the file and the reason; the values stay as they were.
void confereRecusa(Configuracao& cfg, const std::string& caminho, const std::string& motivo) {
    try {
        LerIni(cfg, caminho);
        ADD_FAILURE() << caminho << " foi lido como arquivo de configuração";
    } catch (const ErroIni& e) {
        const std::string texto = e.what();
        EXPECT_NE(texto.find(caminho), std::string::npos) << texto;
        EXPECT_NE(texto.find(motivo), std::string::npos) << texto;
    }
    EXPECT_EQ(cfg.sLocal, "local antigo");
}

TEST_F(IniRuim, MaiorQue16MiBERecusadoSemLerTudo) {
    std::string conteudo = "LOCAL = /a/*.TXT\r\n";
    conteudo.resize((16u << 20) + 1, '#');
    b.escreve("VELMORA.INI", conteudo);
    confereRecusa(cfg, cfg.sArquivoIni, "grande demais");
}

TEST_F(IniRuim, DispositivoOuFifoNaoEhArquivoDeConfiguracao) {
    // /dev/zero never ends and a FIFO without a writer never opens: both once hung the start.
    confereRecusa(cfg, "/dev/zero", "não é um arquivo comum");
    ASSERT_EQ(::mkfifo(b.caminho("FIFO.INI").c_str(), 0644), 0);
    cfg.sArquivoIni = b.caminho("FIFO.INI");
    confereRecusa(cfg, cfg.sArquivoIni, "não é um arquivo comum");
    // Nor is a FIFO written over when the file to read is missing.
    try {
        LerIni(cfg, b.caminho("NAOHA.INI"));
        ADD_FAILURE() << "gravou sobre um FIFO";
    } catch (const ErroIni& e) {
        EXPECT_NE(std::string(e.what()).find("gravar o arquivo de configuração " + cfg.sArquivoIni +
                                             ": não é um arquivo comum"),
                  std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace velmora
