#include "spooler/LeitorBruto.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "apoio/ArquivosEmMemoria.h"
#include "apoio/DecodificadoresTeste.h"
#include "apoio/PerguntaFixa.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/LeitorJob.h"

namespace velmora {
namespace {

// Hands a file over in blocks of a chosen size, so that every line end can fall on an edge.
class ArquivosEmBlocos : public teste::ArquivosEmMemoria {
  public:
    std::size_t tamanhoBloco = 1;

    void leEmBlocos(const std::string& caminho, TravaArquivo*,
                    const std::function<void(std::string_view)>& bloco) override {
        const std::string tudo = leTudo(caminho);
        for (std::size_t i = 0; i < tudo.size(); i += tamanhoBloco) {
            bloco(std::string_view(tudo).substr(i, tamanhoBloco));
        }
    }
};

// The raw output of a job text: its lines, each followed by CR LF.
std::string linhasDoTexto(const std::string& texto) {
    return texto.empty() ? "" : texto.substr(2) + "\r\n";
}

TEST(LeituraBruta, EmQualquerTamanhoDeBlocoDaAsLinhasDoTextoInteiro) {
    ArquivosEmBlocos arquivos;
    teste::DecodificadorLatin1 latin1;
    teste::PerguntaFixa pergunta;
    std::mt19937 aleatorio(13);
    const std::string simbolos = "A\r\n\f\xE3";
    for (int caso = 0; caso < 3000; ++caso) {
        std::string job(aleatorio() % 24, ' ');
        for (char& c : job) c = simbolos[aleatorio() % simbolos.size()];
        arquivos.arquivos["/p/J.TXT"] = job;
        arquivos.tamanhoBloco = 1 + aleatorio() % 6;

        Valores valores;
        valores.sParalela = "1";  // the whole-text reading of the raw path
        const JobLido inteiro = le_conteudo("/p/", "J.TXT", valores, arquivos, latin1, pergunta);
        ASSERT_TRUE(inteiro.lido);
        std::string saida;
        const auto falha = le_linhas_brutas("/p/", "J.TXT", arquivos, nullptr,
                                            [&](std::string_view bytes) { saida += bytes; });
        ASSERT_FALSE(falha);
        ASSERT_EQ(saida, linhasDoTexto(inteiro.texto))
            << "job " << testing::PrintToString(job) << ", blocos de " << arquivos.tamanhoBloco;
    }
}

TEST(LeituraBruta, FalhaDaLeituraVoltaComoMotivoEADoDestinoSegueAdiante) {
    ArquivosEmBlocos arquivos;
    arquivos.falhasLeitura = {"Input/output error"};
    const auto motivo =
        le_linhas_brutas("/p/", "J.TXT", arquivos, nullptr, [](std::string_view) {});
    EXPECT_EQ(motivo, "Input/output error");

    arquivos.arquivos["/p/J.TXT"] = "abc\r\n";
    EXPECT_THROW(le_linhas_brutas("/p/", "J.TXT", arquivos, nullptr,
                                  [](std::string_view) { throw ErroPlataforma("disco cheio"); }),
                 ErroPlataforma);
}

}  // namespace
}  // namespace velmora
