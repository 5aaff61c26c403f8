// The configuration form's rules without a window: the period typed in seconds, the port taken
// from the chosen printer and the check boxes shown for the settings flags.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/nucleo/RegrasConfiguracao.h"
#include "app/nucleo/Utf8.h"

namespace velmora {
namespace {

TEST(NumeroInicial, LeONumeroDoComecoDoTextoComPontoDecimal) {
    EXPECT_DOUBLE_EQ(numeroInicial("5"), 5);
    EXPECT_DOUBLE_EQ(numeroInicial("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(numeroInicial("  12abc"), 12);
    EXPECT_DOUBLE_EQ(numeroInicial(".5"), 0.5);
    EXPECT_DOUBLE_EQ(numeroInicial("-4"), -4);
    EXPECT_DOUBLE_EQ(numeroInicial("+7 s"), 7);
    EXPECT_DOUBLE_EQ(numeroInicial("1e1"), 10);
    EXPECT_DOUBLE_EQ(numeroInicial("0,5"), 0);  // the comma ends the number
}

TEST(NumeroInicial, TextoQueNaoComecaPorNumeroDaZero) {
    for (const char* texto : {"", "   ", "x", "abc5", "inf", "nan", "-", ".", "+.x", "1e999"}) {
        EXPECT_DOUBLE_EQ(numeroInicial(texto), 0) << texto;
    }
}

TEST(RegraPeriodo, DentroDe1a60SegundosGuardaOTextoEMultiplicaPor1000) {
    EXPECT_EQ(regraPeriodo("5").texto, "5");
    EXPECT_EQ(regraPeriodo("5").intervaloMs, 5000);
    EXPECT_EQ(regraPeriodo("2.5").intervaloMs, 2500);
    EXPECT_EQ(regraPeriodo("1").intervaloMs, 1000);
    EXPECT_EQ(regraPeriodo("60").intervaloMs, 60000);
    EXPECT_EQ(regraPeriodo("7 segundos").texto, "7 segundos");
    EXPECT_EQ(regraPeriodo("7 segundos").intervaloMs, 7000);
    EXPECT_EQ(regraPeriodo("1.0004").intervaloMs, 1000);
    EXPECT_EQ(regraPeriodo("1.0006").intervaloMs, 1001);
}

TEST(RegraPeriodo, ForaDosLimitesVolta3Segundos) {
    for (const char* texto : {"0,5", "0", "61", "60.5", "", "x", "0.99", "-5"}) {
        const Periodo periodo = regraPeriodo(texto);
        EXPECT_EQ(periodo.texto, "3") << texto;
        EXPECT_EQ(periodo.intervaloMs, 3000) << texto;
    }
}

TEST(PortaDaImpressora, TiraOsDoisPontosDaPortaDaImpressoraEscolhida) {
    const std::vector<InfoImpressora> impressoras = {{"Laser", "LPT2:"}, {"Matricial", "LPT1:"}};
    EXPECT_EQ(portaDaImpressora(impressoras, "Matricial"), "LPT1");
    EXPECT_EQ(portaDaImpressora(impressoras, "mAtRiCiAl"), "LPT1");
    EXPECT_EQ(portaDaImpressora({{"Rede", "\\\\serv:9100:"}}, "rede"), "\\\\serv9100");
}

TEST(PortaDaImpressora, SemImpressoraDeMesmoNomeNaoHaPorta) {
    const std::vector<InfoImpressora> impressoras = {{"Laser", "LPT2:"}};
    EXPECT_EQ(portaDaImpressora(impressoras, "Matricial"), std::nullopt);
    EXPECT_EQ(portaDaImpressora(impressoras, ""), std::nullopt);
    EXPECT_EQ(portaDaImpressora({}, "Laser"), std::nullopt);
    EXPECT_EQ(portaDaImpressora(impressoras, "Laser "), std::nullopt);
}

TEST(PortaDaImpressora, TodasSaoPercorridasEAUltimaQueCombinaVale) {
    const std::vector<InfoImpressora> impressoras = {
        {"Matricial", "LPT1:"}, {"Outra", "COM1:"}, {"MATRICIAL", "LPT3:"}};
    EXPECT_EQ(portaDaImpressora(impressoras, "matricial"), "LPT3");
}

TEST(PortaDaImpressora, NomesComAcentoComparamSemDiferencaDeCaixa) {
    const std::vector<InfoImpressora> impressoras = {{"Impressora Ótica", "otica"}};
    EXPECT_EQ(portaDaImpressora(impressoras, "impressora ótica"), "otica");
    EXPECT_EQ(portaDaImpressora(impressoras, "IMPRESSORA ÓTICA"), "otica");
    EXPECT_EQ(portaDaImpressora({{"Εκτυπωτής", "ellada"}}, "ΕΚΤΥΠΩΤΉΣ"), "ellada");
}

TEST(EstadoMarcacao, SoONumero1Marca) {
    EXPECT_EQ(estadoMarcacao("1"), 1);
    EXPECT_EQ(estadoMarcacao(" 1"), 1);
    EXPECT_EQ(estadoMarcacao("1.0"), 1);
    for (const char* flag : {"", "0", "x", "S", "2", "-1", "10"}) {
        EXPECT_EQ(estadoMarcacao(flag), 0) << flag;
    }
}

TEST(Utf8, IdaEVoltaEBytesInvalidosViramSubstituto) {
    const std::string texto = "Configuração €𝄞";
    EXPECT_EQ(codificaUtf8(decodificaUtf8(texto)), texto);
    EXPECT_EQ(decodificaUtf8("Configuração").size(), 12u);
    EXPECT_EQ(decodificaUtf8("a\xFF"
                             "b"),
              (std::u32string{U'a', 0xFFFD, U'b'}));
    EXPECT_EQ(decodificaUtf8("\xC3"), std::u32string{0xFFFD});             // cut short
    EXPECT_EQ(decodificaUtf8("\xE0\x80\xAF"), std::u32string(3, 0xFFFD));  // overlong
    EXPECT_EQ(decodificaUtf8("\xED\xA0\x80"), std::u32string(3, 0xFFFD));  // surrogate
}

}  // namespace
}  // namespace velmora
