#include "spooler/CodigosImpressora.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Textos = std::vector<std::string>;

// A job written the way the manuals write commands: "ESC W 01 'TITULO' CR LF". Control names and
// two hex digits are bytes (ff is 255, FF the form feed), 'quoted text' is itself, any other word
// is its own letters.
std::string b(const std::string& notacao) {
    static const std::map<std::string, char> kNomes = {
        {"NUL", 0x00}, {"BEL", 0x07}, {"BS", 0x08},  {"HT", 0x09},  {"LF", 0x0A},
        {"VT", 0x0B},  {"FF", 0x0C},  {"CR", 0x0D},  {"SO", 0x0E},  {"SI", 0x0F},
        {"DC1", 0x11}, {"DC2", 0x12}, {"DC3", 0x13}, {"DC4", 0x14}, {"CAN", 0x18},
        {"SUB", 0x1A}, {"ESC", 0x1B}, {"SP", 0x20},  {"DEL", 0x7F}};
    std::string r;
    std::size_t i = 0;
    while (i < notacao.size()) {
        if (notacao[i] == ' ') {
            ++i;
        } else if (notacao[i] == '\'') {
            const std::size_t fim = notacao.find('\'', i + 1);
            r += notacao.substr(i + 1, fim - i - 1);
            i = fim + 1;
        } else {
            std::size_t fim = notacao.find(' ', i);
            if (fim == std::string::npos) fim = notacao.size();
            const std::string palavra = notacao.substr(i, fim - i);
            i = fim;
            if (kNomes.count(palavra)) {
                r += kNomes.at(palavra);
            } else if (palavra.size() == 2 &&
                       std::isxdigit(static_cast<unsigned char>(palavra[0])) &&
                       std::isxdigit(static_cast<unsigned char>(palavra[1]))) {
                r += static_cast<char>(std::stoi(palavra, nullptr, 16));
            } else {
                r += palavra;
            }
        }
    }
    return r;
}

std::vector<Linha> interpreta(const std::string& job,
                              LinguagemCodigos linguagem = LinguagemCodigos::epson,
                              const std::string& codigoJob = "CP850") {
    CodigosImpressora codigos(job, linguagem, codigoJob);
    std::vector<Linha> linhas;
    Linha linha;
    while (codigos.proxima(linha)) linhas.push_back(linha);
    return linhas;
}

std::string texto(const Linha& linha) {
    std::string r;
    for (const Trecho& t : linha.trechos) r += t.texto;
    return r;
}

Textos textos(const std::vector<Linha>& linhas) {
    Textos r;
    for (const Linha& l : linhas) r.push_back(texto(l));
    return r;
}

// The run that holds `parte`.
const Trecho& trechoCom(const Linha& linha, const std::string& parte) {
    for (const Trecho& t : linha.trechos) {
        if (t.texto.find(parte) != std::string::npos) return t;
    }
    ADD_FAILURE() << "sem trecho com " << parte;
    static const Trecho vazio;
    return vazio;
}

TEST(CodigosImpressora, AtributosLigamEDesligamSemImprimirOsCodigos) {
    const auto linhas = interpreta(
        b("ESC @ ESC E 'NEGRITO' ESC F SP ESC 4 'ITALICO' ESC 5 SP ESC - 01 'SUB' ESC - '0' SP "
          "ESC G 'DUPLO' ESC H SP ESC ! C8 'MESTRE' ESC ! 00 SP ESC w '1' 'ALTO' ESC w 00 SP "
          "ESC S 00 '2' ESC T SP ESC S '1' 'i' ESC T SP ESC ( - 03 00 01 01 01 'P2' "
          "ESC ( - 03 00 01 01 00"));
    ASSERT_EQ(linhas.size(), 1u);
    const Linha& l = linhas[0];
    EXPECT_EQ(texto(l), "NEGRITO ITALICO SUB DUPLO MESTRE ALTO 2 i P2");
    EXPECT_TRUE(trechoCom(l, "NEGRITO").atributos.negrito);
    EXPECT_FALSE(trechoCom(l, "ITALICO").atributos.negrito);
    EXPECT_TRUE(trechoCom(l, "ITALICO").atributos.italico);
    EXPECT_TRUE(trechoCom(l, "SUB").atributos.sublinhado);
    EXPECT_TRUE(trechoCom(l, "DUPLO").atributos.negrito);
    // ESC ! C8: bold, italic and underline at once, all cleared by ESC ! 0.
    const Atributos mestre = trechoCom(l, "MESTRE").atributos;
    EXPECT_TRUE(mestre.negrito && mestre.italico && mestre.sublinhado);
    EXPECT_TRUE(trechoCom(l, "ALTO").atributos.alturaDupla);
    EXPECT_EQ(trechoCom(l, "ALTO").atributos, (Atributos{.alturaDupla = true}));
    EXPECT_EQ(trechoCom(l, "2").atributos.posicao, PosicaoVertical::sobrescrito);
    EXPECT_EQ(trechoCom(l, "i").atributos.posicao, PosicaoVertical::subscrito);
    EXPECT_TRUE(trechoCom(l, "P2").atributos.sublinhado);  // ESC/P2's ESC ( -
}

TEST(CodigosImpressora, PassoELarguraEmColunasDePica) {
    // A condensed table of 132 columns is 77 pica columns wide.
    const auto condensada = interpreta(b("SI") + std::string(132, 'X') + b("DC2 CR LF 'fim'"));
    ASSERT_EQ(condensada.size(), 2u);
    EXPECT_NEAR(condensada[0].trechos[0].atributos.cpi, 17.14, 0.01);
    EXPECT_EQ(condensada[0].trechos[0].larguraCaractere, 126);
    EXPECT_DOUBLE_EQ(condensada[0].larguraColunas, 77.0);
    EXPECT_DOUBLE_EQ(condensada[1].trechos[0].atributos.cpi, 10);  // DC2 ended it

    // Elite, 15 cpi, elite condensed; blanks at the ends do not count.
    const Linha p = interpreta(b("SP SP ESC M 'ab' ESC g 'cd' SI ESC M 'ef' SP SP")).at(0);
    EXPECT_EQ(trechoCom(p, "ab").larguraCaractere, 180);
    EXPECT_EQ(trechoCom(p, "cd").larguraCaractere, 144);
    EXPECT_EQ(trechoCom(p, "ef").larguraCaractere, 108);
    EXPECT_EQ(trechoCom(p, "ab").x, 2 * 216);
    EXPECT_DOUBLE_EQ(p.larguraColunas, (2 * 180 + 2 * 144 + 2 * 108) / 216.0);

    // SO: double width to the end of the line, or to DC4; ESC W lasts until ESC W 0.
    const auto largas = interpreta(
        b("SO 'TITULO' CR LF 'A' SO 'B' DC4 'C' CR LF ESC W 01 'X' CR LF 'Y' ESC W 00 'Z'"));
    ASSERT_EQ(largas.size(), 4u);
    EXPECT_TRUE(trechoCom(largas[0], "TITULO").atributos.larguraDupla);
    EXPECT_EQ(trechoCom(largas[0], "TITULO").larguraCaractere, 432);
    EXPECT_DOUBLE_EQ(largas[0].larguraColunas, 12.0);
    EXPECT_FALSE(trechoCom(largas[1], "A").atributos.larguraDupla);
    EXPECT_TRUE(trechoCom(largas[1], "B").atributos.larguraDupla);
    EXPECT_FALSE(trechoCom(largas[1], "C").atributos.larguraDupla);
    EXPECT_EQ(trechoCom(largas[1], "C").x, 216 + 432);
    EXPECT_TRUE(trechoCom(largas[3], "Y").atributos.larguraDupla);
    EXPECT_FALSE(trechoCom(largas[3], "Z").atributos.larguraDupla);

    // ESC X: pitch 360/m and point size; ESC c: width in 1/360 inch; ESC SP: extra in 1/120 inch.
    const Linha livre =
        interpreta(b("ESC X 18 15 00 'a' ESC c 30 00 'b' ESC P ESC SP 06 'c'")).at(0);
    EXPECT_NEAR(trechoCom(livre, "a").atributos.cpi, 15.0, 1e-9);
    EXPECT_DOUBLE_EQ(trechoCom(livre, "a").atributos.pontos, 10.5);
    EXPECT_EQ(trechoCom(livre, "b").larguraCaractere, 6 * 0x30);
    EXPECT_EQ(trechoCom(livre, "c").larguraCaractere, 216 + 6 * 18);
}

TEST(CodigosImpressora, PulaCadaComandoComExatamenteSeusBytes) {
    // The data hold letters and line ends: one byte miscounted would print or break the line.
    const Textos comandos = {
        "ESC * 00 03 00 'AB' LF",          // 8-dot: 1 byte per column
        "ESC * 21 02 00 'AB' CR LF 'CD'",  // 24-dot: 3
        "ESC * 48 01 00 'AB' CR LF 'CD'",  // 48-dot: 6
        "ESC K 02 00 CR LF",
        "ESC L 01 00 'X'",
        "ESC Y 01 00 FF",
        "ESC Z 02 00 'ZZ'",
        "ESC ^ 00 02 00 'ABCD'",                 // 9-pin: 2 bytes per column
        "ESC . 00 05 05 02 09 00 'ABCD'",        // raster: 2 rows of ceil(9/8) bytes
        "ESC . 01 05 05 01 10 00 00 'X' fe LF",  // run-length: 1 literal, then 1 byte 3 times
        "ESC & 00 'AB' '" + std::string(24, 'Q') + "'",  // two 9-pin characters of 12 bytes
        "ESC : 00 'A' 00",
        "ESC ( Z 04 00 'AB' CR LF",  // ESC ( by its own length
        "ESC [ Q 02 00 'AB'",        // ESC [ too
        "ESC D 08 10 00",
        "ESC D 08 10 04",  // tabs end at NUL or at a lower value
        "ESC B 02 00",
        "ESC b 01 05 00",
        "ESC C 00 0B",
        "ESC C 42",
        "ESC $ 41 00",
        "ESC e 00 41",
        "ESC ? 'K' 41",
        "ESC p 41",
        "ESC x 41",
        "ESC k 41",
        "ESC t 41",
        "ESC R 41",
        "ESC ESC 'E'",
    };
    for (const std::string& cmd : comandos) {
        const auto linhas = interpreta(b("'antes' " + cmd + " 'depois'"));
        ASSERT_EQ(linhas.size(), 1u) << cmd;
        EXPECT_EQ(texto(linhas[0]), "antesdepois") << cmd;
    }
    // ESC ( ^ prints its data as characters.
    EXPECT_EQ(textos(interpreta(b("'a' ESC ( ^ 02 00 'bc' 'd'"))), Textos{"abcd"});
}

TEST(CodigosImpressora, ControlesSemTextoNuncaImprimemNemPerdemTexto) {
    EXPECT_EQ(textos(interpreta(b("'A' NUL 'B' BEL 'C' DC1 'D' DC3 'E' DEL 'F' SUB CR LF SUB"))),
              Textos{"ABCDEF"});
    // CAN drops the line so far.
    EXPECT_EQ(textos(interpreta(b("'errado' CAN 'certo'"))), Textos{"certo"});
}

TEST(CodigosImpressora, SobreposicaoPorRetrocessoOuCrIsolado) {
    const Linha bs = interpreta(b("'aX' BS 'Xb' BS 'c_' BS 'YW' BS '_'")).at(0);
    EXPECT_EQ(texto(bs), "aXcYW");
    EXPECT_TRUE(trechoCom(bs, "X").atributos.negrito);
    EXPECT_FALSE(trechoCom(bs, "a").atributos.negrito);
    EXPECT_EQ(trechoCom(bs, "c").x, 2 * 216);              // c replaced b
    EXPECT_TRUE(trechoCom(bs, "Y").atributos.sublinhado);  // _ BS Y
    EXPECT_TRUE(trechoCom(bs, "W").atributos.sublinhado);  // W BS _
    // A second pass after a lone CR: bold, underline, blanks keep, a different letter replaces.
    const auto cr = interpreta(b("'TOTAL  123' CR '_____  12X' CR LF 'fim'"));
    ASSERT_EQ(cr.size(), 2u);
    EXPECT_EQ(texto(cr[0]), "TOTAL  12X");
    EXPECT_TRUE(trechoCom(cr[0], "TOTAL").atributos.sublinhado);
    EXPECT_TRUE(trechoCom(cr[0], "12").atributos.negrito);
    EXPECT_FALSE(trechoCom(cr[0], "X").atributos.negrito);
    EXPECT_EQ(textos(interpreta(b("'ABC' CR SP SP SP"))), Textos{"ABC"});
    // Underscores under two words underline the blank between them, which stays a blank.
    const Linha sob = interpreta(b("'TOTAL GERAL' CR '___________'")).at(0);
    EXPECT_EQ(texto(sob), "TOTAL GERAL");
    ASSERT_EQ(sob.trechos.size(), 1u);
    EXPECT_TRUE(sob.trechos[0].atributos.sublinhado);
    // Backspace never passes the left margin; in double width it goes back two columns.
    const Linha largo = interpreta(b("BS BS 'A' SO 'B' BS 'B'")).at(0);
    EXPECT_EQ(trechoCom(largo, "A").x, 0);
    EXPECT_TRUE(trechoCom(largo, "B").atributos.negrito);
    EXPECT_EQ(trechoCom(largo, "B").x, 216);
}

TEST(CodigosImpressora, LinhasPaginasMargensETabulacoes) {
    // ESC 3, ESC A, ESC 0, ESC J (no return to the margin), FF.
    const auto linhas =
        interpreta(b("'a' LF ESC 3 18 'b' LF ESC A 0C 'c' LF ESC 0 'd' ESC J 0A 'e' FF 'f'"));
    ASSERT_EQ(linhas.size(), 6u);
    EXPECT_EQ(linhas[0].avancoVertical, 360);
    EXPECT_EQ(linhas[1].avancoVertical, 240);  // 24/216
    EXPECT_EQ(linhas[2].avancoVertical, 360);  // 12/72
    EXPECT_EQ(linhas[3].avancoVertical, 100);  // ESC J 10/216
    EXPECT_EQ(trechoCom(linhas[4], "e").x, 216);
    EXPECT_TRUE(linhas[4].novaPagina);
    EXPECT_EQ(linhas[4].avancoVertical, 0);
    EXPECT_FALSE(linhas[5].novaPagina);

    // ESC C 3: pages of three lines, counted from the line that set it; FF starts over.
    const auto paginas =
        interpreta(b("ESC C 03 '1' CR LF '2' CR LF '3' CR LF '4' CR LF '5' FF "
                     "'6' CR LF '7' CR LF '8' CR LF"));
    std::vector<bool> quebras;
    for (const Linha& l : paginas) quebras.push_back(l.novaPagina);
    EXPECT_EQ(quebras, (std::vector<bool>{false, false, true, false, true, false, false, true}));
    EXPECT_EQ(paginas[0].linhasPagina, 3);
    EXPECT_EQ(paginas[0].alturaPagina, 3 * 360);
    // ESC N 1: one line of the page left blank over the perforation.
    const auto perfuracao = interpreta(b("ESC C 03 ESC N 01 '1' LF '2' LF '3' LF '4'"));
    EXPECT_EQ(perfuracao.at(1).novaPagina, true);
    EXPECT_EQ(perfuracao.at(2).novaPagina, false);
    const Linha polegadas = interpreta(b("ESC C 00 0B 'x'")).at(0);
    EXPECT_EQ(polegadas.alturaPagina, 11 * kUnidadesPorPolegada);
    EXPECT_EQ(polegadas.linhasPagina, 66);
    // ESC ( C in the unit of ESC ( U (1/360 inch until set): 3600 units, then 10 inch at 1/180.
    EXPECT_EQ(interpreta(b("ESC ( C 02 00 10 0E 'x'")).at(0).alturaPagina, 10 * 2160);
    EXPECT_EQ(interpreta(b("ESC ( U 01 00 14 ESC ( C 02 00 08 07 'x'")).at(0).alturaPagina,
              10 * 2160);

    // VT: to the next ESC B stop, one line when there is none below.
    const auto verticais = interpreta(b("ESC B 03 05 00 'a' VT 'b' VT 'c' VT 'd'"));
    ASSERT_EQ(verticais.size(), 4u);
    EXPECT_EQ(verticais[0].avancoVertical, 3 * 360);
    EXPECT_EQ(verticais[1].avancoVertical, 2 * 360);
    EXPECT_EQ(verticais[2].avancoVertical, 360);

    // Left margin, tabs (every 8 columns, or the ESC D stops), ESC $ and a negative ESC \.
    const Linha h =
        interpreta(b("ESC l 05 'a' HT 'b' ESC D 14 00 HT 'c' ESC $ C8 00 'd' ESC \\ fa ff 'e'"))
            .at(0);
    EXPECT_EQ(trechoCom(h, "a").x, 5 * 216);
    EXPECT_EQ(trechoCom(h, "b").x, 13 * 216);
    EXPECT_EQ(trechoCom(h, "c").x, 25 * 216);
    EXPECT_EQ(trechoCom(h, "d").x, 5 * 216 + 200 * 36);
    EXPECT_EQ(trechoCom(h, "e").x, 5 * 216 + 200 * 36 + 216 - 6 * 18);
    EXPECT_EQ(interpreta(b("ESC l 02 'a' CR LF 'b'")).at(1).trechos.at(0).x, 2 * 216);
}

TEST(CodigosImpressora, EscArrobaVoltaTudoAoPadrao) {
    const auto linhas =
        interpreta(b("ESC l 03 ESC E ESC 4 ESC - 01 SI ESC W 01 ESC 3 10 ESC D 02 00 "
                     "ESC t 01 ESC R 02 ESC C 02 'a' CR LF ESC @ HT 'b' CR LF 'c'"),
                   LinguagemCodigos::epson, "WINDOWS-1252");
    ASSERT_EQ(linhas.size(), 3u);
    EXPECT_EQ(linhas[0].avancoVertical, 160);
    EXPECT_EQ(linhas[0].trechos.at(0).codigo, "CP437");
    const Trecho& bb = linhas[1].trechos.at(0);
    EXPECT_EQ(bb.atributos, Atributos{});
    EXPECT_EQ(bb.x, 8 * 216);  // the line began at the old margin; default tabs from the new one
    EXPECT_EQ(bb.codigo, "WINDOWS-1252");
    EXPECT_EQ(bb.conjuntoNacional, 0);
    EXPECT_EQ(linhas[1].avancoVertical, 360);
    EXPECT_EQ(linhas[1].alturaPagina, 0);
    EXPECT_EQ(linhas[2].trechos.at(0).x, 0);
}

TEST(CodigosImpressora, TrocaDeCodigoDentroDoJob) {
    // ESC t 1 is the printer's graphics table: the job's own DOS code page, else CP437.
    EXPECT_EQ(
        interpreta(b("ESC t 01 'a'"), LinguagemCodigos::epson, "CP860").at(0).trechos.at(0).codigo,
        "CP860");
    const Linha l = interpreta(b("'a' ESC t 01 'b' ESC ( t 03 00 01 03 00 'c' ESC t 00 'd' "
                                 "ESC R 02 '[' ESC R 00 ESC [ T 04 00 00 00 03 52 'e' "
                                 "ESC ( t 03 00 00 1D 02 ESC t '0' 'f'"),
                               LinguagemCodigos::epson, "WINDOWS-1252")
                        .at(0);
    EXPECT_EQ(trechoCom(l, "a").codigo, "WINDOWS-1252");
    EXPECT_EQ(trechoCom(l, "b").codigo, "CP437");
    EXPECT_EQ(trechoCom(l, "c").codigo, "CP850");  // table 1 reassigned while selected
    EXPECT_EQ(trechoCom(l, "d").codigo, "WINDOWS-1252");
    EXPECT_EQ(trechoCom(l, "[").conjuntoNacional, 2);
    EXPECT_EQ(trechoCom(l, "e").codigo, "CP850");
    EXPECT_EQ(trechoCom(l, "f").codigo, "ISO-8859-2");
    EXPECT_EQ(comConjuntoNacional(U"[\\]{|}~#x", 2), U"ÄÖÜäöüß#x");
    EXPECT_EQ(comConjuntoNacional(U"#[", 3), U"£[");
    EXPECT_EQ(comConjuntoNacional(U"[", 0), U"[");
    // PCL symbol sets; one it cannot name keeps the code page.
    const Linha pcl =
        interpreta(b("ESC ( 10U 'a' ESC ( 12U 'b' ESC ( 99U 'c'"), LinguagemCodigos::pcl, "UTF-8")
            .at(0);
    EXPECT_EQ(trechoCom(pcl, "a").codigo, "CP437");
    EXPECT_EQ(trechoCom(pcl, "bc").codigo, "CP850");
}

TEST(CodigosImpressora, LinguagemDetectadaOuEscolhida) {
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC &l1O")), LinguagemCodigos::pcl);
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC (s0B")), LinguagemCodigos::pcl);
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC (8U")), LinguagemCodigos::pcl);
    EXPECT_EQ(detectaLinguagem(b("'texto ' ESC (s16.66H")), LinguagemCodigos::pcl);
    EXPECT_EQ(detectaLinguagem(b("ESC @ ESC E 'NEGRITO' ESC F")), LinguagemCodigos::epson);
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC ( t 03")), LinguagemCodigos::epson);
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC & 00 41 41")), LinguagemCodigos::epson);
    EXPECT_EQ(detectaLinguagem(b("ESC E ESC &k2S")), LinguagemCodigos::pcl);
    EXPECT_EQ(detectaLinguagem(""), LinguagemCodigos::epson);
    EXPECT_EQ(linguagemPorNome("IBM"), LinguagemCodigos::ibm);
    EXPECT_EQ(linguagemPorNome("nenhum"), LinguagemCodigos::nenhum);
    EXPECT_EQ(linguagemPorNome("escp"), std::nullopt);

    // The same bytes in Epson and in PCL: ESC E is bold in one and a reset in the other.
    const std::string job =
        b("ESC E ESC (s16.66H ESC (s3B ESC &dD 'TOTAL' ESC &d@ ESC (s0B ' ok' ESC &l66P CR LF");
    const Linha pcl = interpreta(job, LinguagemCodigos::pcl).at(0);
    EXPECT_EQ(texto(pcl), "TOTAL ok");
    const Atributos total = trechoCom(pcl, "TOTAL").atributos;
    EXPECT_TRUE(total.negrito && total.sublinhado);
    EXPECT_NEAR(total.cpi, 16.66, 0.05);
    EXPECT_FALSE(trechoCom(pcl, "ok").atributos.negrito);
    EXPECT_EQ(pcl.linhasPagina, 66);
    EXPECT_NE(textos(interpreta(job)), Textos{"TOTAL ok"});

    // PCL: combined fields, data skipped by count, transparent print, positions, orientation.
    const Linha p2 = interpreta(b("ESC &l1o6D ESC *b3W 'X' CR LF 'a' ESC &p2X 'bc' ESC &a10C 'd' "
                                  "ESC &a+720H 'e' ESC &k4S 'f'"),
                                LinguagemCodigos::pcl)
                         .at(0);
    EXPECT_EQ(texto(p2), "abcdef");
    EXPECT_TRUE(p2.paisagem);
    EXPECT_EQ(p2.avancoVertical, 360);
    EXPECT_EQ(trechoCom(p2, "d").x, 10 * 216);
    EXPECT_EQ(trechoCom(p2, "e").x, 11 * 216 + 2160);
    EXPECT_EQ(trechoCom(p2, "f").larguraCaractere, 180);
    // A reset ends a page that holds something.
    EXPECT_TRUE(interpreta(b("'a' ESC E 'b'"), LinguagemCodigos::pcl).at(0).novaPagina);

    // IBM: ESC \ prints its data, ESC : is 12 cpi, ESC 4 is not italic, ESC A waits for ESC 2.
    const auto ibm =
        interpreta(b("ESC \\ 02 00 'ab' ESC : 'c' ESC 4 'd' ESC A 18 CR LF ESC 2 'e' CR LF"),
                   LinguagemCodigos::ibm);
    ASSERT_EQ(ibm.size(), 2u);
    EXPECT_EQ(texto(ibm[0]), "abcd");
    EXPECT_EQ(trechoCom(ibm[0], "c").larguraCaractere, 180);
    EXPECT_FALSE(trechoCom(ibm[0], "d").atributos.italico);
    EXPECT_EQ(ibm[0].avancoVertical, 360);
    EXPECT_EQ(ibm[1].avancoVertical, 720);

    // nenhum: codes are not read; their letters print, control bytes do not.
    const auto nada = interpreta(b("ESC @ ESC E 'NEGRITO' HT 'x' LF 'y' CR 'z' FF '!' CR LF"),
                                 LinguagemCodigos::nenhum);
    ASSERT_EQ(nada.size(), 2u);
    EXPECT_EQ(texto(nada[0]), "@ENEGRITOxy");
    EXPECT_EQ(trechoCom(nada[0], "xy").x, 16 * 216);
    EXPECT_EQ(texto(nada[1]), "z!");
    EXPECT_TRUE(nada[1].novaPagina);
}

TEST(CodigosImpressora, ComandoTruncadoNoFimTerminaLimpo) {
    const Textos pontas = {"ESC",
                           "ESC *",
                           "ESC * 00 05 00 'ab'",
                           "ESC K 10",
                           "ESC (",
                           "ESC ( t 03 00 01",
                           "ESC D 08 10",
                           "ESC C",
                           "ESC C 00",
                           "ESC . 01 05 05 01 10 00 05 'ab'",
                           "ESC & 00 'ABx'",
                           "ESC X 00",
                           "ESC [ T 04"};
    for (const std::string& ponta : pontas) {
        EXPECT_EQ(textos(interpreta(b("'texto' CR LF " + ponta))), Textos{"texto"}) << ponta;
    }
    EXPECT_EQ(textos(interpreta(b("'a' ESC &l6"), LinguagemCodigos::pcl)), Textos{"a"});
    EXPECT_EQ(textos(interpreta(b("'a' ESC *b9W 'xy'"), LinguagemCodigos::pcl)), Textos{"a"});
    // A PCL field broken by a line end keeps the line end.
    EXPECT_EQ(textos(interpreta(b("'a' ESC &l6 CR LF 'b'"), LinguagemCodigos::pcl)),
              (Textos{"a", "b"}));
}

TEST(CodigosImpressora, JobUtf8GuardaCadaCaractereNumaCelula) {
    const Linha l = interpreta(b("'ação' ESC E 'é'"), LinguagemCodigos::epson, "UTF-8").at(0);
    EXPECT_EQ(texto(l), "açãoé");
    EXPECT_EQ(trechoCom(l, "é").x, 4 * 216);
    EXPECT_DOUBLE_EQ(l.larguraColunas, 5.0);
    EXPECT_DOUBLE_EQ(
        maiorLarguraColunas(b("'ab' CR LF SO 'abc' CR LF"), LinguagemCodigos::epson, "CP850"), 6.0);
}

}  // namespace
}  // namespace velmora
