#include "spooler/PaginaCodigo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spooler/apoio/Nativos.h"

namespace velmora {
namespace {

using teste::emCodigo;

std::u32string paraUtf32(const std::string& utf8) {
    teste::DecodificadorNativo d;
    return d.decodifica(utf8, kUtf8);
}

struct Relatorio {
    const char* nome;
    std::string texto;      // as the program meant it, in UTF-8
    std::string codigo;     // the code page its program wrote
    std::string escolhido;  // what the bytes must be read as
};

const std::string kCaixa850 =
    "╔══════════════════════════════════════════╗\r\n"
    "║  RELAÇÃO DE VENDAS - FILIAL SÃO JOÃO     ║\r\n"
    "╠════════╦═══════════════════╦═════════════╣\r\n"
    "║ Código ║ Descrição         ║       Preço ║\r\n"
    "╠════════╬═══════════════════╬═════════════╣\r\n"
    "║ 000123 ║ Pão francês       ║        0,75 ║\r\n"
    "║ 000124 ║ Açúcar cristal    ║        5,49 ║\r\n"
    "╚════════╩═══════════════════╩═════════════╝\r\n";

const std::vector<Relatorio> kRelatorios = {
    {"CP850 com caixas duplas", kCaixa850, kCp850, kCp850},
    {"UTF-8 com caixas duplas", kCaixa850, kUtf8, kUtf8},
    {"CP850 com caixas de linhas",
     "┌──────────────────────────────────┐\r\n"
     "│ Relatório de Inadimplência       │\r\n"
     "├──────────┬───────────────────────┤\r\n"
     "│ Cliente  │ Situação              │\r\n"
     "│ João     │ Ação de cobrança      │\r\n"
     "└──────────┴───────────────────────┘\r\n",
     kCp850, kCp850},
    {"CP850 sem caixas",
     "RELAÇÃO DE CLIENTES POR REGIÃO\r\n"
     "Município: São Paulo   Emissão: 08/12/2026\r\n"
     "Observações: cobrança após o vencimento, multa de 2% e correção.\r\n",
     kCp850, kCp850},
    {"CP437 com caixas próprias",
     "╒══════════════════════════╕\r\n"
     "│ Relatório de estoque     │\r\n"
     "╞══════════╤═══════════════╡\r\n"
     "│ Item     │ Quantidade    │\r\n"
     "╟──────────┼───────────────╢\r\n"
     "│ Café     │ 12            │\r\n"
     "╘══════════╧═══════════════╛\r\n",
     kCp437, kCp437},
    // Letters CP437 shares with CP850 decode the same in either.
    {"CP437 sem caixas",
     "Relatório mensal - período de março\r\n"
     "Saída de crédito: é preciso conferência\r\n",
     kCp437, kCp850},
    {"Windows-1252 em minúsculas",
     "Nota fiscal nº 4512 - emissão 08/12/2026\r\n"
     "Pão francês, café moído, açúcar: R$ 52,29 (€ 9,00)\r\n",
     kWindows1252, kWindows1252},
    {"Windows-1252 em maiúsculas",
     "RELAÇÃO DE INFORMAÇÕES - AVALIAÇÃO ANUAL\r\n"
     "SÃO JOÃO DA BOA VISTA - CONDIÇÕES DE PAGAMENTO\r\n",
     kWindows1252, kWindows1252},
    {"UTF-8 com caixas", "┌────┐\r\n│ Ação │\r\n└────┘\r\n", kUtf8, kUtf8},
    {"CP850 curto", "Ação", kCp850, kCp850},
    {"Windows-1252 curto", "Ação", kWindows1252, kWindows1252},
    {"CP850 só uma linha", "──────", kCp850, kCp850},
};

// A report comes out as its program wrote it, whichever of the code pages that was.
TEST(CodigoPeloConteudo, RelatoriosSaemComoForamEscritos) {
    teste::DecodificadorNativo d;
    for (const Relatorio& r : kRelatorios) {
        const std::string bytes = emCodigo(r.texto, r.codigo);
        const std::string escolhido = codigoPeloConteudo(bytes);
        EXPECT_EQ(escolhido, r.escolhido) << r.nome;
        EXPECT_EQ(d.decodifica(bytes, escolhido), paraUtf32(r.texto)) << r.nome;
    }
}

// A job that shows no clear sign prints as it always did: Windows-1252.
TEST(CodigoPeloConteudo, SemSinalClaroFicaWindows1252) {
    for (const std::string& bytes :
         {std::string("Caf\xE9"), std::string("\xB3"), std::string("x \xB3 y"), std::string("\x80"),
          std::string("\xC0\xAF"), std::string("fim \xE2\x82"), std::string("\xF4\x90\x80\x80")}) {
        EXPECT_EQ(codigoPeloConteudo(bytes), kWindows1252) << testing::PrintToString(bytes);
    }
    EXPECT_EQ(codigoPeloConteudo(""), kUtf8);
    EXPECT_EQ(codigoPeloConteudo("puro ascii"), kUtf8);
}

}  // namespace
}  // namespace velmora
