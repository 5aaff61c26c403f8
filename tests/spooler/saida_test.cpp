#include "spooler/Saida.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "apoio/DecodificadoresTeste.h"
#include "apoio/ImpressoraGravadora.h"
#include "apoio/Nativos.h"
#include "apoio/RelogioFixo.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using teste::DecodificadorLatin1;
using teste::ImpressoraGravadora;
using teste::RelogioFixo;
using teste::SistemaArquivosNativo;
using Chamadas = std::vector<std::string>;

// The raw path's temporary name: "temp", the date-time digits and the process id in ten digits.
std::string temporario(const std::string& digitos = "07122026091631",
                       long processo = static_cast<long>(SistemaArquivosNativo().idProcesso())) {
    std::string id = std::to_string(processo);
    return "temp" + digitos + std::string(10 - id.size(), '0') + id + ".BAK";
}
const std::string kTemporario = temporario();

// The file system as another process sees it.
class ArquivosDeOutroProcesso : public SistemaArquivosNativo {
  public:
    explicit ArquivosDeOutroProcesso(std::uint64_t id) : id_(id) {}
    std::uint64_t idProcesso() override { return id_; }

  private:
    std::uint64_t id_;
};

std::string conteudo(const std::string& caminho) {
    std::ifstream entrada(caminho, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(entrada), {});
}

// Runs every case in a fresh current folder, where the raw path puts its temporary file.
class Saida : public ::testing::Test {
  protected:
    void SetUp() override {
        anterior_ = fs::current_path();
        pasta_ = teste::pastaTemporariaNova("velmora-saida");
        fs::current_path(pasta_);
        impressora.fontes = {"Arial", "Courier New", "Times"};
    }
    void TearDown() override {
        fs::current_path(anterior_);
        fs::remove_all(pasta_);
    }

    Resultado imprime(const std::string& texto, const std::string& titulo = "REL01.TXT") {
        return Imprimir(texto, valores, titulo, dispositivos);
    }

    std::vector<std::string> arquivosNaPasta() const {
        std::vector<std::string> nomes;
        for (const auto& e : fs::directory_iterator(pasta_))
            nomes.push_back(e.path().filename().string());
        return nomes;
    }

    ImpressoraGravadora impressora;
    SistemaArquivosNativo arquivos;
    DecodificadorLatin1 decodificador;
    RelogioFixo relogio;
    DispositivosSaida dispositivos{impressora, arquivos, decodificador, relogio};
    Valores valores;

  private:
    fs::path anterior_;
    fs::path pasta_;
};

TEST(TamanhoFonte, SegueAsFaixasDaLinhaMaisLarga) {
    const std::vector<std::pair<std::int16_t, float>> casos = {
        {-32768, 11}, {-1, 11}, {0, 11},  {80, 11}, {81, 9},   {100, 9},
        {101, 8},     {110, 8}, {111, 7}, {500, 7}, {32767, 7}};
    for (const auto& [largura, pontos] : casos) {
        EXPECT_EQ(tamanhoFonte(largura), pontos) << "iMaiorLinha " << largura;
    }
}

using CaminhoImpressora = Saida;

TEST_F(CaminhoImpressora, PreparaFonteImpressoraEstiloETituloAntesDasLinhas) {
    impressora.instaladas = {{"Laser", "laser"}, {"HP LaserJet", "hp"}};
    valores.sImpressora = "HP LaserJet";
    valores.iMaiorLinha = 95;

    EXPECT_TRUE(imprime("\r\nA\r\nB").ok);

    // The font is picked on the printer that was current before this job chose its own.
    const Chamadas esperadas = {"quantidadeFontes", "nomeFonte 0",
                                "nomeFonte 1",      "fonte Courier New",
                                "impressoras",      "atual HP LaserJet",
                                "sublinhado 0",     "negrito 0",
                                "italico 0",        "tamanho 9",
                                "titulo REL01.TXT", "linha A",
                                "linha B",          "fim"};
    EXPECT_EQ(impressora.chamadas, esperadas);
}

TEST_F(CaminhoImpressora, EscolheAImpressoraSemDiferencaDeMaiusculas) {
    impressora.instaladas = {
        {"Laser", "laser"}, {"HP LaserJet 1020", "hp"}, {"hp laserjet 1020", "x"}};
    valores.sImpressora = "hp LASERJET 1020";

    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_EQ(impressora.atual, "HP LaserJet 1020");  // the first match, as the system names it
}

TEST_F(CaminhoImpressora, NomeComAcentoEscolheAFilaEmQualquerCaixa) {
    impressora.instaladas = {{"Laser", "laser"}, {"Impressão Fiscal", "fiscal"}};
    valores.sImpressora = "IMPRESSÃO FISCAL";
    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_EQ(impressora.atual, "Impressão Fiscal");
}

TEST_F(CaminhoImpressora, NomeDesconhecidoMantemAImpressoraAtual) {
    impressora.instaladas = {{"Laser", "laser"}};
    impressora.atual = "Escolhida antes";
    valores.sImpressora = "Nenhuma";

    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_EQ(impressora.atual, "Escolhida antes");
    EXPECT_EQ(impressora.documento(), (Chamadas{"linha A", "fim"}));
}

TEST_F(CaminhoImpressora, SoOsPedacosDepoisDeCadaCrLfSaoLinhas) {
    const std::vector<std::pair<std::string, Chamadas>> casos = {
        {"", {"fim"}},
        {"\r\n", {"linha ", "fim"}},
        {"\r\nA\r\nB", {"linha A", "linha B", "fim"}},
        {"\r\nA\r\n\r\nB", {"linha A", "linha ", "linha B", "fim"}},
        {"antes\r\nA", {"linha A", "fim"}},
        {"\r\nA\rB\nC", {"linha A\rB\nC", "fim"}},
    };
    for (const auto& [texto, esperado] : casos) {
        impressora.chamadas.clear();
        ASSERT_TRUE(imprime(texto).ok);
        EXPECT_EQ(impressora.documento(), esperado) << testing::PrintToString(texto);
    }
}

TEST_F(CaminhoImpressora, TrabalhoVazioAindaDefineFonteETamanhoETerminaODocumento) {
    ASSERT_TRUE(imprime("").ok);
    const Chamadas& c = impressora.chamadas;
    EXPECT_NE(std::find(c.begin(), c.end(), "fonte Courier New"), c.end());
    EXPECT_NE(std::find(c.begin(), c.end(), "tamanho 11"), c.end());
    EXPECT_EQ(impressora.documento(), (Chamadas{"fim"}));
}

TEST_F(CaminhoImpressora, AvancoDeFolhaEEjectQuebramAPagina) {
    const std::vector<std::pair<std::string, Chamadas>> casos = {
        // A form feed anywhere: the whole line is printed, then the page ends.
        {"\r\nA\fB\r\nC", {"linha A\fB", "pagina", "linha C", "fim"}},
        {"\r\n\f", {"linha \f", "pagina", "fim"}},
        // EJECT in any case, also inside a word: the page ends and the line is not printed.
        {"\r\nA\r\nEJECT\r\nB", {"linha A", "pagina", "linha B", "fim"}},
        {"\r\nxxejectxx", {"pagina", "fim"}},
        {"\r\nPEDIDO REJECTED", {"pagina", "fim"}},
        {"\r\nEjEcT", {"pagina", "fim"}},
        {"\r\nEJEC T", {"linha EJEC T", "fim"}},
        // Both: the form feed wins, so the line is printed.
        {"\r\nEJECT\f", {"linha EJECT\f", "pagina", "fim"}},
        // The last page break is followed directly by the end of the document.
        {"\r\nA\r\nfim\f", {"linha A", "linha fim\f", "pagina", "fim"}},
    };
    for (const auto& [texto, esperado] : casos) {
        impressora.chamadas.clear();
        ASSERT_TRUE(imprime(texto).ok);
        EXPECT_EQ(impressora.documento(), esperado) << testing::PrintToString(texto);
    }
}

TEST_F(CaminhoImpressora, CadaLinhaSaiNoCodigoEscolhidoParaOTrabalho) {
    ASSERT_TRUE(imprime("\r\nS\xE3o Paulo\r\nA\xE7\xFA"
                        "car")
                    .ok);

    EXPECT_EQ(impressora.documento(),
              (Chamadas{"linha S\u00e3o Paulo", "linha A\u00e7\u00facar", "fim"}));
    EXPECT_EQ(decodificador.escolhidos, (std::vector<std::string>{"\r\nS\xE3o Paulo\r\nA\xE7\xFA"
                                                                  "car"}));
    EXPECT_EQ(decodificador.codigos, (std::vector<std::string>{"ISO-8859-1", "ISO-8859-1"}));
}

TEST_F(CaminhoImpressora, FalhaDaImpressoraAbortaODocumentoEDizPorque) {
    struct Caso {
        std::string falharEm;
        Chamadas documento;
    };
    const std::vector<Caso> casos = {
        {"fim", {"linha A", "pagina", "linha B", "fim", "aborta"}},
        {"linha A", {"linha A", "aborta"}},
        {"pagina", {"linha A", "pagina", "aborta"}},
        {"impressoras", {"aborta"}},
        {"tamanho 11", {"aborta"}},
    };
    for (const Caso& caso : casos) {
        impressora.chamadas.clear();
        impressora.falharEm = caso.falharEm;
        impressora.motivoFalha = "a fila recusou o trabalho";

        const Resultado r = imprime("\r\nA\r\nEJECT\r\nB");

        EXPECT_FALSE(r.ok) << caso.falharEm;
        EXPECT_EQ(r.motivo, "a fila recusou o trabalho") << caso.falharEm;
        EXPECT_EQ(impressora.documento(), caso.documento) << caso.falharEm;
    }
}

TEST_F(CaminhoImpressora, FalhaDecodificandoUmaLinhaTambemEFalhaDoTrabalho) {
    decodificador.falhaNaChamada = 2;
    const Resultado r = imprime("\r\nA\r\nB\r\nC");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.motivo, "conversão de ISO-8859-1 falhou");
    EXPECT_EQ(impressora.documento(), (Chamadas{"linha A", "aborta"}));
}

TEST_F(CaminhoImpressora, SoParalelaIgualA1MandaParaAPorta) {
    valores.sPorta = "LPT2";
    for (const std::string paralela : {"0", "", " 1", "1 ", "S", "-1"}) {
        impressora.chamadas.clear();
        valores.sParalela = paralela;
        ASSERT_TRUE(imprime("\r\nA").ok);
        EXPECT_EQ(impressora.documento(), (Chamadas{"linha A", "fim"})) << '"' << paralela << '"';
        EXPECT_TRUE(impressora.arquivoBruto.empty());
    }
}

using SelecaoFonte = Saida;

TEST_F(SelecaoFonte, PegaAPrimeiraFonteQueComecaComOPrefixoEmQualquerCaixa) {
    impressora.fontes = {"Arial", "Cour", "cOURIER 10cpi", "Courier New", "Courier"};
    SelecionarFonte(impressora, "Courier");
    EXPECT_EQ(impressora.chamadas.back(), "fonte cOURIER 10cpi");
    EXPECT_EQ(std::count_if(impressora.chamadas.begin(), impressora.chamadas.end(),
                            [](const std::string& c) { return c.rfind("fonte ", 0) == 0; }),
              1);
}

TEST_F(SelecaoFonte, SemFonteParecidaAFonteFicaComoEstava) {
    for (const Chamadas& fontes : {Chamadas{}, Chamadas{"Arial", "Cour", "Nimbus Mono PS"}}) {
        impressora.chamadas.clear();
        impressora.fontes = fontes;
        SelecionarFonte(impressora, "Courier");
        for (const std::string& c : impressora.chamadas) EXPECT_NE(c.rfind("fonte ", 0), 0u) << c;
    }
}

TEST_F(SelecaoFonte, FalhasAoEscolherAFonteNaoImpedemOTrabalho) {
    impressora.fontes = {"Courier Bold", "Courier"};
    // A font the printer cannot name is passed over.
    impressora.falharEm = "nomeFonte 0";
    SelecionarFonte(impressora, "Courier");
    EXPECT_EQ(impressora.chamadas.back(), "fonte Courier");

    // A font the printer cannot set leaves the job printing in the font it has.
    impressora.chamadas.clear();
    impressora.falharEm = "fonte Courier Bold";
    const Resultado r = imprime("\r\nA");
    EXPECT_TRUE(r.ok) << r.motivo;
    EXPECT_EQ(std::count(impressora.chamadas.begin(), impressora.chamadas.end(), "fonte Courier"),
              0);
    EXPECT_EQ(impressora.documento(), (Chamadas{"linha A", "fim"}));
}

// The raw path: lines written unchanged to a temporary file in the current folder, which is then
// copied onto the port.
class CaminhoBruto : public Saida {
  protected:
    void SetUp() override {
        Saida::SetUp();
        valores.sParalela = "1";
        valores.sPorta = "LPT2";
    }
};

TEST_F(CaminhoBruto, CopiaOsBytesSemMudancaComCrLfDepoisDeCadaLinha) {
    const std::string texto = "\r\nA\fB\r\n  EJECT  \r\n\xE3\xFF\x01\r\n";
    const Resultado r = imprime(texto, "REL01.TXT");

    ASSERT_TRUE(r.ok) << r.motivo;
    EXPECT_EQ(impressora.bytesBrutos, "A\fB\r\n  EJECT  \r\n\xE3\xFF\x01\r\n\r\n");
    EXPECT_EQ(impressora.chamadas, (Chamadas{"bruto LPT2 REL01.TXT"}));
    EXPECT_TRUE(decodificador.codigos.empty());  // bytes in, bytes out
}

TEST_F(CaminhoBruto, TrabalhoVazioCopiaUmArquivoVazio) {
    ASSERT_TRUE(imprime("").ok);
    EXPECT_EQ(impressora.arquivoBruto, kTemporario);
    EXPECT_EQ(impressora.bytesBrutos, "");
}

TEST_F(CaminhoBruto, NomeTemporarioVemDaDataEHoraSemBarrasDoisPontosEBrancos) {
    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_EQ(impressora.arquivoBruto, kTemporario);

    relogio.texto = "7/12/2026 9:16:31 PM";
    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_EQ(impressora.arquivoBruto, temporario("712202691631PM"));
}

TEST_F(CaminhoBruto, NaoDeixaArquivoTemporarioNemDepoisDeFalhar) {
    ASSERT_TRUE(imprime("\r\nA").ok);
    EXPECT_TRUE(arquivosNaPasta().empty());

    impressora.falharEm = "bruto LPT2 REL01.TXT";
    impressora.motivoFalha = "LPT2: porta indisponível";
    const Resultado r = imprime("\r\nA");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.motivo, "LPT2: porta indisponível");
    EXPECT_TRUE(arquivosNaPasta().empty());
}

TEST_F(CaminhoBruto, SobraDeMesmoNomeESubstituida) {
    std::ofstream(kTemporario) << "sobra de um trabalho anterior, mais longa que o novo";
    ASSERT_TRUE(imprime("\r\nnovo").ok);
    EXPECT_EQ(impressora.bytesBrutos, "novo\r\n");
    EXPECT_TRUE(arquivosNaPasta().empty());
}

TEST_F(CaminhoBruto, DoisSpoolersNaMesmaPastaNoMesmoSegundoNaoSeTocam) {
    ArquivosDeOutroProcesso arquivosDoOutro(4242);
    ImpressoraGravadora impressoraDoOutro;
    DispositivosSaida outro{impressoraDoOutro, arquivosDoOutro, decodificador, relogio};
    std::string nossoDuranteOOutro;
    // The other spooler's job runs while ours is on its way to the port.
    bool feito = false;
    impressora.aoChamar = [&](const std::string&) {
        if (std::exchange(feito, true)) return;
        EXPECT_TRUE(Imprimir("\r\nB", valores, "B.TXT", outro).ok);
        nossoDuranteOOutro = conteudo(impressora.arquivoBruto);
    };

    ASSERT_TRUE(imprime("\r\nA", "A.TXT").ok);

    EXPECT_EQ(nossoDuranteOOutro, "A\r\n");
    EXPECT_EQ(impressora.bytesBrutos, "A\r\n");
    EXPECT_EQ(impressoraDoOutro.bytesBrutos, "B\r\n");
    EXPECT_EQ(impressoraDoOutro.arquivoBruto, temporario("07122026091631", 4242));
    EXPECT_TRUE(arquivosNaPasta().empty());
}

TEST_F(CaminhoBruto, SemPortaFalhaSemCriarNada) {
    valores.sPorta = "";
    const Resultado r = imprime("\r\nA");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.motivo, "a porta de saída (PORTA) não foi configurada");
    EXPECT_TRUE(impressora.chamadas.empty());
    EXPECT_TRUE(arquivosNaPasta().empty());
}

TEST_F(CaminhoBruto, TemporarioQueNaoPodeSerCriadoFalhaSemCopiar) {
    fs::create_directory(kTemporario);  // a folder in the way cannot be replaced by a file
    const Resultado r = imprime("\r\nA");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.motivo.find(kTemporario), std::string::npos) << r.motivo;
    EXPECT_TRUE(impressora.chamadas.empty());
    EXPECT_TRUE(fs::is_directory(kTemporario));
}

TEST_F(CaminhoBruto, TrabalhoGrandeSaiInteiro) {
    // Many lines across several write blocks, and one line longer than a block.
    std::string texto;
    std::string esperado;
    for (int i = 0; i < 40000; ++i) {
        const std::string linha =
            std::to_string(i) + std::string(60, static_cast<char>('a' + i % 26));
        texto += "\r\n" + linha;
        esperado += linha + "\r\n";
    }
    const std::string enorme(3 << 20, 'x');
    texto += "\r\n" + enorme + "\r\nfim";
    esperado += enorme + "\r\nfim\r\n";

    ASSERT_TRUE(imprime(texto).ok);
    EXPECT_EQ(impressora.bytesBrutos.size(), esperado.size());
    EXPECT_TRUE(impressora.bytesBrutos == esperado);
}

}  // namespace
}  // namespace velmora
