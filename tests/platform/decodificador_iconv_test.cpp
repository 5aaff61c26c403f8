#include "platform/posix/DecodificadorIconv.h"

#include <gtest/gtest.h>

#include <string>

#include "spooler/ErroPlataforma.h"

namespace velmora {
namespace {

TEST(DecodificadorIconv, AsciiFicaComoEstaEEscolheUtf8) {
    DecodificadorIconv d;
    std::string linha = "REL01 \t\x0c\x1b fim";
    EXPECT_EQ(d.escolhe(linha), "UTF-8");
    EXPECT_EQ(d.decodifica(linha, "UTF-8"), U"REL01 \t\x0c\x1b fim");
    EXPECT_EQ(d.decodifica(linha, "WINDOWS-1252"), U"REL01 \t\x0c\x1b fim");
    EXPECT_EQ(d.decodifica("", "UTF-8"), U"");
}

TEST(DecodificadorIconv, Utf8ValidoEscolheUtf8) {
    DecodificadorIconv d;
    std::string job = "\r\nAção é \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(d.escolhe(job), "UTF-8");
    EXPECT_EQ(d.decodifica(job, "UTF-8"), U"\r\nAção é € \U0001F600");
}

TEST(DecodificadorIconv, Utf8MalFormadoEscolheWindows1252) {
    DecodificadorIconv d;
    EXPECT_EQ(d.escolhe("Caf\xE9"), "WINDOWS-1252");
    EXPECT_EQ(d.escolhe("\xC0\xAF"), "WINDOWS-1252") << "overlong";
    EXPECT_EQ(d.escolhe("\xE0\x80\xAF"), "WINDOWS-1252") << "overlong de 3 bytes";
    EXPECT_EQ(d.escolhe("\xED\xA0\x80"), "WINDOWS-1252") << "surrogate";
    EXPECT_EQ(d.escolhe("\xF4\x90\x80\x80"), "WINDOWS-1252") << "acima de U+10FFFF";
    EXPECT_EQ(d.escolhe("fim \xE2\x82"), "WINDOWS-1252") << "cortado no fim";
    EXPECT_EQ(d.escolhe("\x80"), "WINDOWS-1252") << "continuação solta";
    EXPECT_EQ(d.escolhe("\xF4\x8F\xBF\xBF"), "UTF-8") << "U+10FFFF é válido";
}

// Long ASCII runs are checked in blocks: a byte that is not ASCII must be seen wherever it falls.
TEST(DecodificadorIconv, ByteNaoAsciiEmQualquerPosicaoDeUmaLinhaLonga) {
    DecodificadorIconv d;
    for (std::size_t pos = 0; pos < 40; ++pos) {
        std::string ruim(40, 'a');
        ruim[pos] = '\xE9';
        EXPECT_EQ(d.escolhe(ruim), "WINDOWS-1252") << "posição " << pos;
        std::u32string esperado(40, U'a');
        esperado[pos] = U'\u00E9';
        EXPECT_EQ(d.decodifica(ruim, "WINDOWS-1252"), esperado) << "posição " << pos;

        std::string bom = std::string(pos, 'a') + "\xC3\xA9" + std::string(40 - pos, 'b');
        EXPECT_EQ(d.escolhe(bom), "UTF-8") << "posição " << pos;
        std::string cortado = std::string(pos, 'a') + "\xC3";
        EXPECT_EQ(d.escolhe(cortado), "WINDOWS-1252") << "posição " << pos;
    }
}

TEST(DecodificadorIconv, Windows1252DecodificaAcentosEEuro) {
    DecodificadorIconv d;
    std::string job = "Caf\xE9 \x80 10,00 \xC7\xE3o";
    ASSERT_EQ(d.escolhe(job), "WINDOWS-1252");
    EXPECT_EQ(d.decodifica(job, "WINDOWS-1252"), U"Café € 10,00 Ção");
}

TEST(DecodificadorIconv, BytesIndecifraveisViramSubstitutoSemPerderORestante) {
    DecodificadorIconv d;
    EXPECT_EQ(d.decodifica("a\x81"
                           "b\x8D\x8F\x90\x9D"
                           "c",
                           "WINDOWS-1252"),
              U"a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFDc");
    EXPECT_EQ(d.decodifica("a\xFF"
                           "b",
                           "UTF-8"),
              U"a\uFFFDb");
    EXPECT_EQ(d.decodifica("x\xE2\x82", "UTF-8"), U"x\uFFFD\uFFFD");
}

TEST(DecodificadorIconv, CadaChamadaComecaDoZero) {
    DecodificadorIconv d;
    // A sequence cut at the end of one line must not swallow the start of the next one.
    EXPECT_EQ(d.decodifica("\xE2\x82", "UTF-8"), U"\uFFFD\uFFFD");
    EXPECT_EQ(d.decodifica("\xACOK", "UTF-8"), U"\uFFFDOK");
    EXPECT_EQ(d.decodifica("é", "UTF-8"), U"é");
}

TEST(DecodificadorIconv, LinhaLongaNaoAsciiInteira) {
    DecodificadorIconv d;
    std::string linha;
    std::u32string esperado;
    for (int i = 0; i < 50000; ++i) {
        linha += "\xE9\x80";
        esperado += U"é€";
    }
    EXPECT_TRUE(d.decodifica(linha, "WINDOWS-1252") == esperado);
}

TEST(DecodificadorIconv, CodigoDePaginaFixoValeParaTodoJob) {
    DecodificadorIconv d("CP850");
    EXPECT_EQ(d.escolhe("puro ascii"), "CP850");
    EXPECT_EQ(d.escolhe("\xC3\xA9"), "CP850");
    EXPECT_EQ(d.decodifica("Relat\xA2rio \x82 \x87", "CP850"), U"Relatório é ç");
}

TEST(DecodificadorIconv, CodigoDePaginaVazioValeComoAusente) {
    DecodificadorIconv d("");
    EXPECT_EQ(d.escolhe("Caf\xE9"), "WINDOWS-1252");
}

TEST(DecodificadorIconv, CodigoDePaginaDesconhecidoFalhaComONome) {
    try {
        DecodificadorIconv d("CP-NAO-EXISTE");
        FAIL() << "aceitou um código de página desconhecido";
    } catch (const ErroPlataforma& e) {
        EXPECT_STREQ(e.what(), "VELMORA_CODEPAGE: código de página desconhecido: CP-NAO-EXISTE");
    }
    DecodificadorIconv d;
    EXPECT_THROW(d.decodifica("x", "CP-NAO-EXISTE"), ErroPlataforma);
}

TEST(DecodificadorIconv, CodigoQueNaoEAsciiNaoTomaOAtalho) {
    DecodificadorIconv d;
    // Every byte is below 0x80, yet these are two characters, not four.
    EXPECT_EQ(d.decodifica(std::string("A\0B\0", 4), "UTF-16LE"), U"AB");
}

// The width of a line is measured the same whether on its bytes (ASCII) or decoded: columns up
// to the last character that leaves ink.
TEST(DecodificadorIconv, LarguraContaAsColunasAteOUltimoCaractereComTinta) {
    DecodificadorIconv d;
    EXPECT_EQ(d.larguraImpressa("   TOTAL  12,50   ", "UTF-8"), 15u);
    EXPECT_EQ(d.larguraImpressa("", "UTF-8"), 0u);
    EXPECT_EQ(d.larguraImpressa("      ", "UTF-8"), 0u);
    EXPECT_EQ(d.larguraImpressa("\t X ", "UTF-8"), 10u);
    EXPECT_EQ(d.larguraImpressa("  a\xC3\xA7\xC3\xA3o ", "UTF-8"), 6u);
    EXPECT_EQ(d.larguraImpressa("\t\xC3\xA7\xC3\xA3o ", "UTF-8"), 11u);
    EXPECT_EQ(d.larguraImpressa(" Relat\xA2rio ", "CP850"), 10u);
    EXPECT_EQ(d.larguraImpressa(" \xE2\x82 ", "UTF-8"), 3u);  // each stray byte is a character
    // Blanks of two bytes each: a shortcut over the bytes would count 5.
    EXPECT_EQ(d.larguraImpressa(std::string(" \0A\0 \0", 6), "UTF-16LE"), 2u);
}

}  // namespace
}  // namespace velmora
