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

// Printable areas of A4 and US Letter less a quarter inch all round, in points.
const Papel kA4{559.28, 805.89};
const Papel kCarta{576, 756};

TEST(FormatoDaPagina, TodaPaginaGuardaAoMenos66LinhasSemSobreporAsLinhas) {
    for (const Papel& papel : {kA4, kCarta}) {
        for (const std::int16_t largura : {0, 80, 81, 100, 110, 132, 136, 160, 220, 268, 32767}) {
            const Formato f = escolheFormato(largura, papel);
            const double altura = f.paisagem ? papel.largura : papel.altura;
            EXPECT_GE(altura / f.entrelinha, 66 - 1e-9) << papel.largura << " " << largura;
            EXPECT_GE(f.entrelinha, f.pontos) << papel.largura << " " << largura;
            EXPECT_LE(f.entrelinha, 1.133 * f.pontos + 1e-9) << papel.largura << " " << largura;
        }
    }
}

// On a small sheet the band's size is lowered while it stays at 7 points or more; below that the
// sheet is turned first.
TEST(FormatoDaPagina, FolhaPequenaBaixaOTamanhoAte7PontosEDepoisVira) {
    const Papel pequena{300, 500};
    const Formato f60 = escolheFormato(60, pequena);
    EXPECT_FALSE(f60.paisagem);
    EXPECT_EQ(f60.pontos, 8.3f);
    EXPECT_GE(f60.colunas, 60u);

    const Formato f80 = escolheFormato(80, pequena);
    EXPECT_TRUE(f80.paisagem);
    EXPECT_EQ(f80.pontos, 7.0f);
    EXPECT_GE(f80.colunas, 80u);
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
        // A lone LF ends a line on paper; one at the very end adds no empty line.
        // A CR the reader kept inside a line is a second pass over it.
        {"\r\nA\rB\nC", {"linha B", "linha C", "fim"}},
        {"\r\nA\n\nB\n", {"linha A", "linha ", "linha B", "fim"}},
        {"\r\n\n", {"linha ", "fim"}},
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
        // The page ends at the form feed: what follows it begins the next page.
        {"\r\nA\fB\r\nC", {"linha A", "pagina", "linha B", "linha C", "fim"}},
        {"\r\n\f", {"pagina", "fim"}},
        {"\r\n\fCAB 1\r\nx\r\n  \fCAB 2",
         {"pagina", "linha CAB 1", "linha x", "pagina", "linha CAB 2", "fim"}},
        {"\r\nA\f\fB", {"linha A", "pagina", "pagina", "linha B", "fim"}},
        {"\r\nA\nB\fC", {"linha A", "linha B", "pagina", "linha C", "fim"}},
        // EJECT in any case, also inside a word: the page ends and the line is not printed.
        {"\r\nA\r\nEJECT\r\nB", {"linha A", "pagina", "linha B", "fim"}},
        {"\r\nxxejectxx", {"pagina", "fim"}},
        {"\r\nPEDIDO REJECTED", {"pagina", "fim"}},
        {"\r\nEjEcT", {"pagina", "fim"}},
        {"\r\nEJEC T", {"linha EJEC T", "fim"}},
        // Both: the form feed wins, so the line is printed.
        {"\r\nEJECT\f", {"linha EJECT", "pagina", "fim"}},
        // The last page break is followed directly by the end of the document.
        {"\r\nA\r\nfim\f", {"linha A", "linha fim", "pagina", "fim"}},
    };
    for (const auto& [texto, esperado] : casos) {
        impressora.chamadas.clear();
        ASSERT_TRUE(imprime(texto).ok);
        EXPECT_EQ(impressora.documento(), esperado) << testing::PrintToString(texto);
    }
}

// A layer that draws runs: records each line's runs as text, face and advance.
class ImpressoraDeTrechos : public ImpressoraGravadora {
  public:
    std::vector<std::vector<TrechoImpressao>> linhas;
    void imprimeTrechos(const std::vector<TrechoImpressao>& trechos) override {
        linhas.push_back(trechos);
        ImpressoraGravadora::imprimeTrechos(trechos);
    }
};

const std::string kEsc = "\x1B";

TEST_F(CaminhoImpressora, CodigosDaImpressoraSaemComoAtributosNuncaComoTexto) {
    const std::string job = "\r\n" + kEsc + "@" + kEsc + "ETOTAL" + kEsc + "F\r\n\x0F" +
                            std::string(132, 'X') + "\x12\r\n" + kEsc + "W1TITULO" + kEsc +
                            "W0\r\n" + kEsc + "*" +
                            std::string(
                                "\x00\x03\x00"
                                "ABC",
                                6) +
                            "fim";
    ASSERT_TRUE(imprime(job).ok);
    // The condensed table is 77 columns of pica wide: it fits at the largest size.
    EXPECT_NE(std::find(impressora.chamadas.begin(), impressora.chamadas.end(), "tamanho 11"),
              impressora.chamadas.end());
    EXPECT_EQ(impressora.documento(), (Chamadas{"linha TOTAL", "linha " + std::string(132, 'X'),
                                                "linha TITULO", "linha fim", "fim"}));

    // Read as plain text the codes show as characters, and the table shrinks the font.
    valores.codigos = LinguagemCodigos::nenhum;
    valores.iMaiorLinha = 132;
    impressora.chamadas.clear();
    ASSERT_TRUE(imprime(job).ok);
    EXPECT_NE(std::find(impressora.chamadas.begin(), impressora.chamadas.end(), "tamanho 7"),
              impressora.chamadas.end());
    EXPECT_EQ(impressora.documento().front(), "linha " + kEsc + "@" + kEsc + "ETOTAL" + kEsc + "F");
}

TEST_F(CaminhoImpressora, TrechosGuardamFaceEPassoRelativosAoTamanho) {
    ImpressoraDeTrechos trechos;
    DispositivosSaida comTrechos{trechos, arquivos, decodificador, relogio};
    ASSERT_TRUE(Imprimir("\r\nAB" + kEsc + "ECD" + kEsc + "F\x0F" + "EF\x12" + kEsc + "W1GH" +
                             kEsc + "W0" + kEsc + "-1IJ" + kEsc + "-0" + kEsc + "w1KL" + kEsc +
                             "w0\r\nsem codigos",
                         valores, "REL01.TXT", comTrechos)
                    .ok);

    ASSERT_EQ(trechos.linhas.size(), 1u) << "a line without codes goes as plain text";
    const std::vector<TrechoImpressao>& t = trechos.linhas[0];
    ASSERT_EQ(t.size(), 6u);
    const double normal = t[0].avanco;
    EXPECT_NEAR(normal, 0.6 * 11, 1e-9);
    EXPECT_TRUE(t[1].negrito);
    EXPECT_FALSE(t[0].negrito || t[2].negrito);
    EXPECT_NEAR(t[2].avanco / normal, 10 / 17.14, 0.001);
    EXPECT_NEAR(t[3].avanco / normal, 2, 1e-9);
    EXPECT_TRUE(t[4].sublinhado);
    EXPECT_FLOAT_EQ(t[5].pontos, 2 * t[0].pontos) << "double height";
    EXPECT_NEAR(t[5].avanco, normal, 1e-9);
    // Each run starts where the one before it ends.
    for (std::size_t i = 1; i < t.size(); ++i) {
        EXPECT_NEAR(t[i].x, t[i - 1].x + 2 * t[i - 1].avanco, 0.01) << i;
    }
    EXPECT_EQ(trechos.documento(), (Chamadas{"linha ABCDEFGH IJKL", "linha sem codigos", "fim"}));
}

TEST_F(CaminhoImpressora, ComprimentoDePaginaDoTrabalhoCabeNaFolha) {
    std::string job = "\r\n" + kEsc + "C" + std::string(1, '\x14');  // 20 lines a page
    for (int i = 1; i <= 25; ++i) job += "L" + std::to_string(i) + "\n";
    job += "\fdepois do form feed";
    ASSERT_TRUE(imprime(job).ok);

    EXPECT_NEAR(impressora.entrelinha, impressora.folha.altura / 20, 1e-9);
    const Chamadas doc = impressora.documento();
    const auto quebra = std::find(doc.begin(), doc.end(), "pagina");
    ASSERT_NE(quebra, doc.end());
    EXPECT_EQ(*(quebra - 1), "linha L20");
    EXPECT_EQ(*(quebra + 1), "linha L21");
    // The form feed still ends the page at once, five lines into it.
    EXPECT_EQ(Chamadas(doc.end() - 4, doc.end()),
              (Chamadas{"linha L25", "pagina", "linha depois do form feed", "fim"}));
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
