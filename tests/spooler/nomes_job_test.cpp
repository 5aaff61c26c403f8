#include "spooler/NomesJob.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace velmora {
namespace {

TEST(ParteDaPasta, AteAUltimaBarraInclusive) {
    EXPECT_EQ(parteDaPasta("/var/spool/VIDEO/*.TXT"), "/var/spool/VIDEO/");
    EXPECT_EQ(parteDaPasta("/var/spool/VIDEO/"), "/var/spool/VIDEO/");
    EXPECT_EQ(parteDaPasta("/REL01.TXT"), "/");
    EXPECT_EQ(parteDaPasta("*.TXT"), "");
    EXPECT_EQ(parteDaPasta(""), "");
#ifdef _WIN32
    EXPECT_EQ(parteDaPasta("C:\\VIDEO\\*.TXT"), "C:\\VIDEO\\");
    EXPECT_EQ(parteDaPasta("C:\\VIDEO/SUB\\*.TXT"), "C:\\VIDEO/SUB\\");
    EXPECT_EQ(parteDaPasta("\\\\serv\\VIDEO/*.TXT"), "\\\\serv\\VIDEO/");
#else
    EXPECT_EQ(parteDaPasta("C:\\VIDEO\\*.TXT"), "") << "a backslash is no folder separator here";
#endif
    EXPECT_EQ(parteDaPasta("/v/*.TXT;/w/*.PRN"), "/v/*.TXT;/w/") << "one single pattern";
}

TEST(NomeBackup, TrocaOQueVemDepoisDoUltimoPonto) {
    EXPECT_EQ(nomeBackup("REL01.TXT"), "REL01.bak");
    EXPECT_EQ(nomeBackup("A.B.TXT"), "A.B.bak");
    EXPECT_EQ(nomeBackup("rel01.prn"), "rel01.bak");
    EXPECT_EQ(nomeBackup("REL01."), "REL01.bak");
    EXPECT_EQ(nomeBackup("relatório.txt"), "relatório.bak");
}

TEST(NomeBackup, SemPontoGanhaSublinhadoEBakMaiusculo) {
    EXPECT_EQ(nomeBackup("REL01"), "REL01_.BAK");
    EXPECT_EQ(nomeBackup("x"), "x_.BAK");
}

TEST(EhBackupDeSi, NomesQueJaSaoOProprioBackup) {
    EXPECT_TRUE(ehBackupDeSi("X.bak"));
    EXPECT_TRUE(ehBackupDeSi("X.BAK"));
    EXPECT_TRUE(ehBackupDeSi("X.Bak"));
    EXPECT_TRUE(ehBackupDeSi("x_.bak"));
    EXPECT_TRUE(ehBackupDeSi("REL01_.BAK"));
    EXPECT_TRUE(ehBackupDeSi("A.B.bak"));

    EXPECT_FALSE(ehBackupDeSi("REL01.TXT"));
    EXPECT_FALSE(ehBackupDeSi("REL01"));
    EXPECT_FALSE(ehBackupDeSi("BAK"));
    EXPECT_FALSE(ehBackupDeSi("X.bak.TXT"));
    EXPECT_FALSE(ehBackupDeSi("X.baks"));
    EXPECT_FALSE(ehBackupDeSi("X.ba"));
}

TEST(CasaPadrao, CuringasEstrelaEInterrogacao) {
    EXPECT_TRUE(casaPadrao("*.TXT", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("*.TXT", ".TXT"));
    EXPECT_TRUE(casaPadrao("*.TXT", "A.TXT.TXT"));
    EXPECT_FALSE(casaPadrao("*.TXT", "REL01.TXT.bak"));
    EXPECT_FALSE(casaPadrao("*.TXT", "REL01.TX"));
    EXPECT_TRUE(casaPadrao("REL*", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("*01*", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("R*L*1.T*T", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("REL??.TXT", "REL01.TXT"));
    EXPECT_FALSE(casaPadrao("REL??.TXT", "REL1.TXT"));
    EXPECT_FALSE(casaPadrao("REL??.TXT", "REL001.TXT"));
    EXPECT_TRUE(casaPadrao("*", ""));
    EXPECT_TRUE(casaPadrao("**", "abc"));
    EXPECT_TRUE(casaPadrao("", ""));
    EXPECT_FALSE(casaPadrao("", "a"));
    EXPECT_FALSE(casaPadrao("?", ""));
    EXPECT_FALSE(casaPadrao("REL01.TXT", "REL01.TXT "));
}

TEST(CasaPadrao, PontoEstrelaNoFimTambemTomaNomesSemExtensao) {
    EXPECT_TRUE(casaPadrao("*.*", "REL01"));
    EXPECT_TRUE(casaPadrao("*.*", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("REL01.*", "rel01"));
    EXPECT_FALSE(casaPadrao("REL01.*", "REL011"));
    EXPECT_FALSE(casaPadrao("*.T*", "REL01"));
}

TEST(CasaPadrao, SemDiferencaDeMaiusculas) {
    EXPECT_TRUE(casaPadrao("*.TXT", "rel01.txt"));
    EXPECT_TRUE(casaPadrao("rel01.txt", "REL01.TXT"));
    EXPECT_TRUE(casaPadrao("RELATÓRIO.TXT", "relatório.txt"));
    EXPECT_TRUE(casaPadrao("AÇÃO*", "ação-1.prn"));
    EXPECT_TRUE(casaPadrao("þ", "Þ"));
    EXPECT_FALSE(casaPadrao("×", "÷")) << "multiplication and division signs are no letter pair";
    EXPECT_FALSE(casaPadrao("É", "E"));
}

TEST(CasaPadrao, InterrogacaoEhUmCaractereNaoUmByte) {
    EXPECT_TRUE(casaPadrao("?", "é"));
    EXPECT_FALSE(casaPadrao("??", "é"));
    EXPECT_TRUE(casaPadrao("REL?.TXT", "REL€.TXT"));
    EXPECT_TRUE(casaPadrao("?", "😀"));
    EXPECT_TRUE(casaPadrao("*?", "😀"));
    EXPECT_FALSE(casaPadrao("?", "😀😀"));
}

TEST(CasaPadrao, ColchetesEOutrosSinaisValemPorSi) {
    EXPECT_FALSE(casaPadrao("[AB].TXT", "A.TXT"));
    EXPECT_TRUE(casaPadrao("[AB].TXT", "[ab].txt"));
    EXPECT_TRUE(casaPadrao("REL[1].TXT", "REL[1].TXT"));
    EXPECT_FALSE(casaPadrao("REL\\*.TXT", "RELX.TXT"));
    EXPECT_TRUE(casaPadrao("A+B (1).TXT", "a+b (1).txt"));
}

TEST(CasaPadrao, NomeQueNaoEhUtf8CasaByteAByte) {
    EXPECT_TRUE(casaPadrao("REL\xD3RIO.TXT", "rel\xD3rio.txt"));
    EXPECT_FALSE(casaPadrao("REL\xD3RIO.TXT", "REL\xF3RIO.TXT")) << "Latin-1 bytes are not folded";
    EXPECT_TRUE(casaPadrao("?.TXT", "\xFF.TXT"));
    EXPECT_TRUE(casaPadrao("*.TXT", "\xC3.TXT")) << "a cut-off sequence";
    EXPECT_TRUE(casaPadrao("??", "\xC3\xC3"));
    EXPECT_FALSE(casaPadrao("?", "\xE2\x82")) << "two stray bytes are two characters";
    EXPECT_TRUE(casaPadrao("*", "\xF0\x9F\x98"));
    EXPECT_FALSE(casaPadrao("é", "\xC3")) << "half a character";
    EXPECT_FALSE(casaPadrao("\xC3", "é"));
    // The name ends half way through a character even though the next byte in memory goes on.
    EXPECT_FALSE(casaPadrao("é", std::string_view("\xC3\xA9", 1)));
    EXPECT_FALSE(casaPadrao(std::string_view("R\xE2\x82\xAC", 3), "R€"));
    EXPECT_FALSE(casaPadrao("?", "\xC0\xAF")) << "an overlong form is no character";
    EXPECT_TRUE(casaPadrao("??", "\xC0\xAF"));
}

TEST(CasaPadrao, PadraoPatologicoTerminaLogo) {
    const std::string nome(100000, 'a');
    EXPECT_FALSE(casaPadrao("*a*a*a*a*a*a*a*a*a*a*b", nome));
    EXPECT_TRUE(casaPadrao("*a*a*a*a*a*a*a*a*a*a*a", nome));
    EXPECT_FALSE(casaPadrao(std::string(50, '*') + "?b", nome));
}

}  // namespace
}  // namespace velmora
