#include "spooler/LeitorJob.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "apoio/ArquivosEmMemoria.h"
#include "apoio/DecodificadoresTeste.h"
#include "apoio/Nativos.h"

namespace velmora {
namespace {

using teste::ArquivosEmMemoria;
using teste::DecodificadorLatin1;
using teste::DecodificadorUtf8;

// Answers from a script and keeps every question asked; an unscripted question is answered No.
class PerguntaRoteirizada : public Pergunta {
  public:
    std::deque<bool> respostas;
    std::vector<std::string> perguntas;

    bool sim(const std::string& mensagem) override {
        perguntas.push_back(mensagem);
        if (respostas.empty()) return false;
        const bool resposta = respostas.front();
        respostas.pop_front();
        return resposta;
    }
};

const std::string kRota = "/var/spool/velmora/";
const std::string kNome = "REL01.TXT";
const std::string kCaminho = kRota + kNome;
const std::string kPergunta =
    "Deu erro ao abrir o arquivo /var/spool/velmora/REL01.TXT. Tentar novamente ?";

class LeituraJob : public ::testing::Test {
  protected:
    JobLido le(const std::string& conteudo) {
        arquivos.arquivos[kCaminho] = conteudo;
        return le_conteudo(kRota, kNome, valores, arquivos, latin1, pergunta);
    }

    Valores valores;
    ArquivosEmMemoria arquivos;
    DecodificadorLatin1 latin1;
    PerguntaRoteirizada pergunta;
};

TEST_F(LeituraJob, CadaLinhaVemAposUmCrLfENadaDepoisDaUltima) {
    const JobLido comFinal = le("A\r\nBB\r\n");
    EXPECT_TRUE(comFinal.lido);
    EXPECT_EQ(comFinal.texto, "\r\nA\r\nBB");
    EXPECT_EQ(comFinal.motivo, "");
    EXPECT_EQ(valores.iMaiorLinha, 2);

    const JobLido semFinal = le("A\r\nBB");
    EXPECT_EQ(semFinal.texto, "\r\nA\r\nBB");
    EXPECT_EQ(valores.iMaiorLinha, 2);
    EXPECT_TRUE(pergunta.perguntas.empty());
}

TEST_F(LeituraJob, ArquivoVazioDaTextoVazioLido) {
    valores.iMaiorLinha = 40;
    const JobLido job = le("");
    EXPECT_TRUE(job.lido);
    EXPECT_EQ(job.texto, "");
    EXPECT_EQ(valores.iMaiorLinha, 0);
}

TEST_F(LeituraJob, FimsDeLinha) {
    EXPECT_EQ(le("A\r\n\r\nB").texto, "\r\nA\r\n\r\nB") << "empty line in the middle";
    EXPECT_EQ(le("A\rBB\r").texto, "\r\nA\r\nBB") << "CR alone ends a line";
    EXPECT_EQ(le("A\r\r\nB").texto, "\r\nA\r\n\r\nB") << "CR, then CR LF";
    EXPECT_EQ(le("\r\n").texto, "\r\n") << "one empty line";

    const JobLido soLf = le("A\nBB\nC\n");
    EXPECT_EQ(soLf.texto, "\r\nA\nBB\nC\n") << "a lone LF belongs to the line";
    EXPECT_EQ(valores.iMaiorLinha, 2) << "but on paper it starts a new one";
}

// A second pass after a lone CR stays in its line for the printer codes to overprint, where
// lines end in LF; where CR alone ends every line, or on the raw path, or with the codes off,
// it ends the line.
TEST_F(LeituraJob, CrIsoladoSeguidoDeTextoSobrepoeALinha) {
    EXPECT_EQ(le("TOTAL\r_____\r\nB\rC\r\n").texto, "\r\nTOTAL\r_____\r\nB\rC");
    EXPECT_EQ(valores.iMaiorLinha, 5) << "each pass is measured on its own";
    EXPECT_EQ(le("A\rB\n").texto, "\r\nA\rB\n");
    EXPECT_EQ(le("A\rB\r").texto, "\r\nA\r\nB");

    valores.sParalela = "1";
    EXPECT_EQ(le("A\rB\n").texto, "\r\nA\r\nB\n");
    valores.sParalela = "0";
    valores.codigos = LinguagemCodigos::nenhum;
    EXPECT_EQ(le("A\rB\n").texto, "\r\nA\r\nB\n");
}

TEST_F(LeituraJob, BytesDoArquivoPassamSemMudanca) {
    using namespace std::string_literals;
    const JobLido job = le("A\0B\r\n\x0C\tCA\xC7\xC3O\x1B\x45\r\nEJECT"s);
    EXPECT_EQ(job.texto, "\r\nA\0B\r\n\x0C\tCA\xC7\xC3O\x1B\x45\r\nEJECT"s);
    EXPECT_EQ(valores.iMaiorLinha, 14) << "the tab reaches column 8; FF and ESC take none";
}

// The width is what the line takes on paper: up to its last inked character.
TEST_F(LeituraJob, LarguraEADaLinhaNoPapel) {
    le("   ABC   \r\nAB\r\n");
    EXPECT_EQ(valores.iMaiorLinha, 6) << "leading blanks are printed, trailing ones are not";

    le("\t\t\t\t\t\t\t\t\t\t" + std::string(70, 'x') + "\r\n");
    EXPECT_EQ(valores.iMaiorLinha, 150) << "tabs go to the next stop of eight columns";

    le("A  B\r\n      \r\n");
    EXPECT_EQ(valores.iMaiorLinha, 4) << "inner blanks count, a blank line is 0";

    le("CABECALHO\fA\r\n");
    EXPECT_EQ(valores.iMaiorLinha, 9) << "what follows a form feed starts at the left edge";
}

TEST_F(LeituraJob, LarguraContaCaracteresDaPaginaDeCodigoDoJob) {
    DecodificadorUtf8 utf8;
    arquivos.arquivos[kCaminho] = "RELAÇÃO\r\nAB\r\n";
    const JobLido job = le_conteudo(kRota, kNome, valores, arquivos, utf8, pergunta);
    EXPECT_EQ(job.texto, "\r\nRELAÇÃO\r\nAB") << "the bytes stay UTF-8, not re-encoded";
    EXPECT_EQ(valores.iMaiorLinha, 7);
}

TEST_F(LeituraJob, PaginaDeCodigoEscolhidaUmaVezPeloJobInteiro) {
    le("A\r\nB\r\nC");
    ASSERT_EQ(latin1.escolhidos.size(), 1u);
    EXPECT_EQ(latin1.escolhidos[0], "A\r\nB\r\nC");
    EXPECT_EQ(latin1.codigos, (std::vector<std::string>{"ISO-8859-1", "ISO-8859-1", "ISO-8859-1"}));
}

TEST_F(LeituraJob, LinhaMaiorQue32767ParaNoLimite) {
    const std::string longa(40000, 'X');
    const JobLido job = le("AB\r\n" + longa + "\r\n");
    EXPECT_TRUE(job.lido);
    EXPECT_EQ(job.texto, "\r\nAB\r\n" + longa);
    EXPECT_EQ(valores.iMaiorLinha, 32767);
    EXPECT_TRUE(pergunta.perguntas.empty());

    le(std::string(32766, 'Y'));
    EXPECT_EQ(valores.iMaiorLinha, 32766);
}

TEST_F(LeituraJob, SemRotaLeONomeSozinho) {
    arquivos.arquivos["REL01.TXT"] = "X";
    const JobLido job = le_conteudo("", "REL01.TXT", valores, arquivos, latin1, pergunta);
    EXPECT_EQ(job.texto, "\r\nX");
}

class FalhaDeLeitura : public LeituraJob {};

TEST_F(FalhaDeLeitura, NaoDesisteComOMotivo) {
    arquivos.falhasLeitura = {kCaminho + ": Permission denied"};
    pergunta.respostas = {false};
    const JobLido job = le("A\r\n");
    EXPECT_FALSE(job.lido);
    EXPECT_EQ(job.texto, "");
    EXPECT_EQ(job.motivo, kCaminho + ": Permission denied");
    EXPECT_EQ(pergunta.perguntas, std::vector<std::string>{kPergunta});
    EXPECT_EQ(arquivos.leituras, 1);
}

TEST_F(FalhaDeLeitura, ArquivoQueSumiuPergunta) {
    pergunta.respostas = {false};
    const JobLido job = le_conteudo(kRota, "SUMIU.TXT", valores, arquivos, latin1, pergunta);
    EXPECT_FALSE(job.lido);
    EXPECT_EQ(pergunta.perguntas,
              std::vector<std::string>{"Deu erro ao abrir o arquivo /var/spool/velmora/SUMIU.TXT. "
                                       "Tentar novamente ?"});
}

TEST_F(FalhaDeLeitura, SimLeDeNovoUmaVezSo) {
    arquivos.falhasLeitura = {"bloqueado"};
    pergunta.respostas = {true};
    const JobLido job = le("A\r\nBB\r\n");
    EXPECT_TRUE(job.lido);
    EXPECT_EQ(job.texto, "\r\nA\r\nBB");
    EXPECT_EQ(valores.iMaiorLinha, 2);
    EXPECT_EQ(pergunta.perguntas.size(), 1u);
    EXPECT_EQ(arquivos.leituras, 2);
}

TEST_F(FalhaDeLeitura, FalhaNoMeioNaoRepeteLinhasNaNovaTentativa) {
    latin1.falhaNaChamada = 2;  // the second line of the first attempt
    pergunta.respostas = {true};
    const JobLido job = le("LINHA UM\r\nDOIS\r\n");
    EXPECT_TRUE(job.lido);
    EXPECT_EQ(job.texto, "\r\nLINHA UM\r\nDOIS");
    EXPECT_EQ(valores.iMaiorLinha, 8);
    EXPECT_EQ(pergunta.perguntas, std::vector<std::string>{kPergunta});
}

TEST_F(FalhaDeLeitura, LarguraDaNovaTentativaComecaDoZero) {
    arquivos.arquivos[kCaminho] = std::string(20, 'W') + "\r\nX";
    latin1.falhaNaChamada = 2;
    // The file gets shorter while the question is open.
    struct TrocaArquivo : PerguntaRoteirizada {
        ArquivosEmMemoria* arquivos = nullptr;
        bool sim(const std::string& mensagem) override {
            arquivos->arquivos[kCaminho] = "AB";
            return PerguntaRoteirizada::sim(mensagem);
        }
    } troca;
    troca.arquivos = &arquivos;
    troca.respostas = {true};
    const JobLido job = le_conteudo(kRota, kNome, valores, arquivos, latin1, troca);
    EXPECT_EQ(job.texto, "\r\nAB");
    EXPECT_EQ(valores.iMaiorLinha, 2);
}

TEST_F(FalhaDeLeitura, NaoDepoisDeFalhaNoMeioGuardaALarguraMedida) {
    latin1.falhaNaChamada = 2;
    pergunta.respostas = {false};
    const JobLido job = le("ABCD\r\nABCDEFGH\r\n");
    EXPECT_FALSE(job.lido);
    EXPECT_EQ(job.texto, "");
    EXPECT_EQ(job.motivo, "conversão de ISO-8859-1 falhou");
    EXPECT_EQ(valores.iMaiorLinha, 4);
}

TEST_F(FalhaDeLeitura, CadaFalhaPerguntaDeNovo) {
    arquivos.falhasLeitura = {"um", "dois", "três"};
    pergunta.respostas = {true, true, false};
    const JobLido job = le("A");
    EXPECT_FALSE(job.lido);
    EXPECT_EQ(job.motivo, "três");
    EXPECT_EQ(pergunta.perguntas, std::vector<std::string>(3, kPergunta));
    EXPECT_EQ(arquivos.leituras, 3);
}

// The same reader over a real file and the system's code pages.
class LeituraDeArquivoReal : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device aleatorio;
        pasta = std::filesystem::temp_directory_path() /
                ("velmora-leitor-" + std::to_string(aleatorio()) + std::to_string(aleatorio()));
        ASSERT_TRUE(std::filesystem::create_directory(pasta));
        rota = pasta.string() + "/";
    }
    void TearDown() override {
        std::error_code erro;
        std::filesystem::remove_all(pasta, erro);
    }
    JobLido le(const std::string& bytes) {
        std::ofstream(rota + "REL01.TXT", std::ios::binary) << bytes;
        return le_conteudo(rota, "REL01.TXT", valores, arquivos, decodificador, pergunta);
    }

    std::filesystem::path pasta;
    std::string rota;
    Valores valores;
    teste::SistemaArquivosNativo arquivos;
    teste::DecodificadorNativo decodificador;
    PerguntaRoteirizada pergunta;
};

TEST_F(LeituraDeArquivoReal, BytesIntactosELarguraEmCaracteres) {
    const JobLido cp1252 = le("  RELA\xC7\xC3O  \r\nAB\r\n");
    EXPECT_TRUE(cp1252.lido);
    EXPECT_EQ(cp1252.texto, "\r\n  RELA\xC7\xC3O  \r\nAB");
    EXPECT_EQ(valores.iMaiorLinha, 9);

    const JobLido utf8 = le("RELAÇÃO\r\nAB\r\n");
    EXPECT_EQ(utf8.texto, "\r\nRELAÇÃO\r\nAB");
    EXPECT_EQ(valores.iMaiorLinha, 7);
    EXPECT_TRUE(pergunta.perguntas.empty());
}

TEST_F(LeituraDeArquivoReal, ArquivoAusentePerguntaComOCaminho) {
    const JobLido job = le_conteudo(rota, "SUMIU.TXT", valores, arquivos, decodificador, pergunta);
    EXPECT_FALSE(job.lido);
    EXPECT_NE(job.motivo.find(teste::kArquivoAusente), std::string::npos) << job.motivo;
    EXPECT_EQ(pergunta.perguntas, std::vector<std::string>{"Deu erro ao abrir o arquivo " + rota +
                                                           "SUMIU.TXT. Tentar novamente ?"});
}

}  // namespace
}  // namespace velmora
