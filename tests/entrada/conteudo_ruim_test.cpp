// Job files whose content is odd or hostile, through the whole cycle on a real folder: each is
// output as the rules say and its bytes survive in the backup.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "apoio/Bancada.h"

namespace velmora {
namespace {

using teste::Bancada;
using Linhas = std::vector<std::string>;

class ConteudoRuim : public ::testing::Test {
  protected:
    // Prints the one job `nome` holding `conteudo` and checks that it was output once and that
    // its backup holds exactly the bytes it had.
    void imprimeComBackup(const std::string& nome, const std::string& conteudo,
                          const std::string& backup) {
        b.escreve(nome, conteudo);
        const ResumoCiclo resumo = b.tique("*.TXT");
        EXPECT_EQ(resumo.impressos, 1);
        EXPECT_EQ(resumo.falhas, 0);
        EXPECT_EQ(b.naPasta(), Linhas{backup});
        EXPECT_TRUE(b.le(backup) == conteudo) << "o backup não guarda os bytes do trabalho";
    }

    Bancada b;
};

TEST_F(ConteudoRuim, ArquivoVazioTerminaUmDocumentoSemLinhas) {
    imprimeComBackup("VAZIO.TXT", "", "VAZIO.bak");
    EXPECT_EQ(b.impressora.documento(), Linhas{"fim"});
    EXPECT_EQ(b.valores.iMaiorLinha, 0);
}

TEST_F(ConteudoRuim, BytesNulosSaoCaracteresComoOsOutros) {
    const std::string conteudo("A\0B\r\n\0\0\r\nfim", 12);
    imprimeComBackup("NULOS.TXT", conteudo, "NULOS.bak");
    // A NUL prints nothing, and nothing around it is lost.
    EXPECT_EQ(b.linhasImpressas("NULOS.TXT"), (Linhas{"AB", "", "fim"}));
    EXPECT_EQ(b.valores.iMaiorLinha, 3);
}

TEST_F(ConteudoRuim, LinhaDeUmMegaSaiInteiraNaLetraMenor) {
    const std::string linha(1 << 20, 'x');
    imprimeComBackup("LARGA.TXT", "curta\r\n" + linha + "\r\n", "LARGA.bak");
    // No size holds it: it goes on over the following lines, every character kept.
    const Linhas impressas = b.linhasImpressas("LARGA.TXT");
    ASSERT_GT(impressas.size(), 2u);
    EXPECT_EQ(impressas[0], "curta");
    std::string junta;
    for (std::size_t i = 1; i < impressas.size(); ++i) junta += impressas[i];
    EXPECT_TRUE(junta == linha);
    EXPECT_EQ(b.valores.iMaiorLinha, 32767);
    EXPECT_NE(std::find(b.impressora.chamadas.begin(), b.impressora.chamadas.end(), "tamanho 5"),
              b.impressora.chamadas.end());
}

// On paper a lone CR or a lone LF ends a line; the bytes of the job stay as they were.
TEST_F(ConteudoRuim, CrOuLfSozinhosSeparamLinhas) {
    b.escreve("SO_CR.TXT", "um\rdois\r\rtres");
    b.escreve("SO_LF.TXT", "um\ndois\n");
    EXPECT_EQ(b.tique("*.TXT").impressos, 2);
    EXPECT_EQ(b.linhasImpressas("SO_CR.TXT"), (Linhas{"um", "dois", "", "tres"}));
    EXPECT_EQ(b.linhasImpressas("SO_LF.TXT"), (Linhas{"um", "dois"}));
    EXPECT_EQ(b.le("SO_CR.bak"), "um\rdois\r\rtres");
    EXPECT_EQ(b.le("SO_LF.bak"), "um\ndois\n");
}

TEST_F(ConteudoRuim, BytesQueAPaginaDeCodigoNaoConheceViramSubstituto) {
    // Not UTF-8, so Windows-1252, which has no character at 0x81.
    imprimeComBackup("CP.TXT", "Pre\xe7o \x81!\r\n", "CP.bak");
    EXPECT_EQ(b.linhasImpressas("CP.TXT"), Linhas{"Preço \uFFFD!"});
    EXPECT_EQ(b.valores.iMaiorLinha, 8);
}

TEST_F(ConteudoRuim, BytesInvalidosNaPaginaDeCodigoFixaViramSubstituto) {
    b.decodificador = std::make_unique<DecodificadorIconv>("UTF-8");
    imprimeComBackup("UTF.TXT", "a\xe7\xc3\r\n\xff\r\n", "UTF.bak");
    EXPECT_EQ(b.linhasImpressas("UTF.TXT"), (Linhas{"a\uFFFD\uFFFD", "\uFFFD"}));
}

TEST_F(ConteudoRuim, CemMegaSaemByteAByteNaPortaENadaSePerde) {
    std::string conteudo;
    const std::string linha = std::string(90, '.') + "\x0c EJECT \r\n";
    conteudo.reserve(100 << 20);
    while (conteudo.size() + linha.size() <= (100u << 20)) conteudo += linha;
    b.valores.sParalela = "1";
    b.valores.sPorta = b.pasta() + "porta";
    imprimeComBackup("GRANDE.TXT", conteudo, "GRANDE.bak");
    // Every line ends in CR LF, so the port gets the file unchanged.
    EXPECT_EQ(b.impressora.bytesBrutos.size(), conteudo.size());
    EXPECT_TRUE(b.impressora.bytesBrutos == conteudo);
}

}  // namespace
}  // namespace velmora
