#include "spooler/Caixa.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Caixa, IgualEmQualquerEscritaQueTenhaMaiusculas) {
    EXPECT_TRUE(igualSemCaixa("Impressão Fiscal", "IMPRESSÃO FISCAL"));
    EXPECT_TRUE(igualSemCaixa("ΣΟΦΊΑ", "σοφία"));
    EXPECT_TRUE(igualSemCaixa("ς", "Σ"));  // final sigma
    EXPECT_TRUE(igualSemCaixa("ПРИНТЕР", "принтер"));
    EXPECT_TRUE(igualSemCaixa("ŁÓDŹ", "łódź"));              // Latin Extended-A, pairs one apart
    EXPECT_TRUE(igualSemCaixa("\u212A", "k"));               // Kelvin sign
    EXPECT_TRUE(igualSemCaixa("\U00010400", "\U00010428"));  // Deseret, four bytes
    EXPECT_TRUE(igualSemCaixa("Ǆ", "ǆ"));
}

TEST(Caixa, DiferenteOndeNaoHaParDeCaixa) {
    EXPECT_FALSE(igualSemCaixa("É", "E"));
    EXPECT_FALSE(igualSemCaixa("×", "÷"));
    EXPECT_FALSE(igualSemCaixa("Ł", "ł1"));
    EXPECT_FALSE(igualSemCaixa("ā", "Ą"));  // neighbours in a block of alternating pairs
    EXPECT_FALSE(igualSemCaixa("名前", "名后"));
    // Bytes of a DOS code page are no UTF-8: each stands for itself.
    EXPECT_TRUE(igualSemCaixa("REL\x87\x80", "rel\x87\x80"));
    EXPECT_FALSE(igualSemCaixa("\x87", "\x80"));
}

TEST(Caixa, ContemEmQualquerCaixa) {
    EXPECT_TRUE(contemSemCaixa("  rejected  ", "EJECT"));
    EXPECT_TRUE(contemSemCaixa("\x80\xFF eJeCt", "EJECT"));
    EXPECT_FALSE(contemSemCaixa("EJEC T", "EJECT"));
}

}  // namespace
}  // namespace velmora
