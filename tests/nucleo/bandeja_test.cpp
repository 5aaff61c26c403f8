// The tray's rules without a desktop: the notification record, the blink and the decoding of
// mouse events.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "apoio/ShellFalso.h"
#include "app/nucleo/AnimacaoIcone.h"
#include "app/nucleo/DecodificadorBandeja.h"
#include "app/nucleo/NotificacaoBandeja.h"

namespace velmora {
namespace {

using teste::ShellFalso;

class FonteFixa : public FonteRegistro {
  public:
    std::uint32_t janelaPictIconeBandeja() const override { return janela; }
    std::uint32_t iconeAtual() const override { return icone; }
    std::uint32_t janela = 0x1234;
    std::uint32_t icone = 7;
};

std::uint32_t le32(const std::array<unsigned char, 88>& bytes, std::size_t pos) {
    return bytes[pos] | bytes[pos + 1] << 8 | bytes[pos + 2] << 16 |
           static_cast<std::uint32_t>(bytes[pos + 3]) << 24;
}

TEST(RegistroNotificacao, PreencheOsSeisCamposEADicaNoLayoutDe88Bytes) {
    ShellFalso shell;
    FonteFixa fonte;
    NotificacaoBandeja notificacao(shell, fonte);
    notificacao.IconeBandeja(0, "Velmora ativo... ");

    const auto bytes = notificacao.registro().emBytes();
    EXPECT_EQ(le32(bytes, 0), 88u);
    EXPECT_EQ(le32(bytes, 4), 0x1234u);
    EXPECT_EQ(le32(bytes, 8), 1u);
    EXPECT_EQ(le32(bytes, 12), 7u);
    EXPECT_EQ(le32(bytes, 16), 0x200u);
    EXPECT_EQ(le32(bytes, 20), 7u);
    const std::string dica(bytes.begin() + 24, bytes.end());
    EXPECT_EQ(dica, std::string("Velmora ativo... ") + '\0' + std::string(46, ' '));
    EXPECT_EQ(notificacao.registro().dicaVisivel(), "Velmora ativo... ");
}

TEST(RegistroNotificacao, DicaDe63CaracteresGuardaONulEDe64NaoTemNul) {
    RegistroNotificacao registro;
    registro.defineDica(std::string(63, 'a'));
    EXPECT_EQ(registro.dica[63], U'\0');
    EXPECT_EQ(registro.dicaVisivel(), std::string(63, 'a'));

    registro.defineDica(std::string(64, 'b'));
    EXPECT_EQ(registro.dica[63], U'b');
    EXPECT_EQ(registro.dicaVisivel(), std::string(64, 'b'));

    registro.defineDica(std::string(64, 'c') + "sobra");
    EXPECT_EQ(registro.dicaVisivel(), std::string(64, 'c'));
}

TEST(RegistroNotificacao, DicaContaCaracteresNaoBytes) {
    RegistroNotificacao registro;
    // 63 characters, of which some take two bytes in UTF-8: the NUL still fits.
    const std::string texto = "ção" + std::string(60, 'x');
    registro.defineDica(texto);
    EXPECT_EQ(registro.dica[63], U'\0');
    EXPECT_EQ(registro.dicaVisivel(), texto);
    const auto bytes = registro.emBytes();
    EXPECT_EQ(bytes[24], 0xE7);  // ç as one byte
    EXPECT_EQ(bytes[25], 0xE3);  // ã
}

TEST(RegistroNotificacao, DicaVaziaDeixaSoONulEBrancos) {
    RegistroNotificacao registro;
    registro.defineDica("");
    EXPECT_EQ(registro.dica[0], U'\0');
    EXPECT_EQ(registro.dica[1], U' ');
    EXPECT_EQ(registro.dicaVisivel(), "");
}

TEST(IconeBandeja, AcaoZeroAdicionaUmModificaOutraNaoChamaOShell) {
    ShellFalso shell;
    FonteFixa fonte;
    NotificacaoBandeja notificacao(shell, fonte);

    notificacao.IconeBandeja(0, "a");
    notificacao.IconeBandeja(1, "b");
    ASSERT_EQ(shell.chamadas.size(), 2u);
    EXPECT_EQ(shell.chamadas[0].first, OperacaoBandeja::adiciona);
    EXPECT_EQ(shell.chamadas[1].first, OperacaoBandeja::modifica);

    for (std::int16_t acao : {2, -1, 3}) notificacao.IconeBandeja(acao, "refeita");
    EXPECT_EQ(shell.chamadas.size(), 2u);
    // The record is refilled all the same.
    EXPECT_EQ(notificacao.registro().dicaVisivel(), "refeita");
}

TEST(IconeBandeja, LeJanelaEIconeDeNovoACadaPreenchimento) {
    ShellFalso shell;
    FonteFixa fonte;
    NotificacaoBandeja notificacao(shell, fonte);
    notificacao.IconeBandeja(0, "x");
    fonte.icone = 9;
    fonte.janela = 0x99;
    notificacao.IconeBandeja(1, "x");
    EXPECT_EQ(shell.chamadas[0].second.icone, 7u);
    EXPECT_EQ(shell.chamadas[1].second.icone, 9u);
    EXPECT_EQ(shell.chamadas[1].second.janela, 0x99u);
}

TEST(IconeBandeja, RemoverRefazTamanhoJanelaEIdEGuardaOResto) {
    ShellFalso shell;
    FonteFixa fonte;
    NotificacaoBandeja notificacao(shell, fonte);
    notificacao.IconeBandeja(1, "ultima");
    notificacao.remove();
    ASSERT_EQ(shell.chamadas.size(), 2u);
    const auto& [operacao, registro] = shell.chamadas[1];
    EXPECT_EQ(operacao, OperacaoBandeja::remove);
    EXPECT_EQ(registro.tamanho, 88u);
    EXPECT_EQ(registro.janela, 0x1234u);
    EXPECT_EQ(registro.id, 1u);
    EXPECT_EQ(registro.icone, 7u);
    EXPECT_EQ(registro.dicaVisivel(), "ultima");
}

TEST(AnimacaoIcone, TresTicksAbertosMeioAbertoEFechadoEmCicloDe3200ms) {
    AnimacaoIcone animacao;
    struct Esperado {
        const char* icone;
        int intervalo;
        const char* dica;
    };
    const std::vector<Esperado> ciclo = {
        {"ATIVOABERTO", 1000, "Velmora ativo..."},
        {"ATIVOABERTO", 1000, "Velmora ativo..."},
        {"ATIVOABERTO", 1000, "Velmora ativo..."},
        {"ATIVOMEIOABERTO", 100, ""},
        {"ATIVOFECHADO", 100, ""},
    };
    for (int volta = 0; volta < 3; ++volta) {
        int periodo = 0;
        for (const Esperado& esperado : ciclo) {
            const QuadroIcone quadro = animacao.tick();
            EXPECT_EQ(quadro.icone, esperado.icone);
            EXPECT_EQ(quadro.intervaloMs, esperado.intervalo);
            EXPECT_EQ(quadro.dica, esperado.dica);
            periodo += quadro.intervaloMs;
        }
        EXPECT_EQ(periodo, 3200);
        EXPECT_EQ(animacao.iContIcone, 0);
        EXPECT_EQ(animacao.bMeioAberto, -1);
    }
}

TEST(AnimacaoIcone, ContadoresSeguemATabelaPassoAPasso) {
    AnimacaoIcone animacao;
    animacao.tick();
    EXPECT_EQ(animacao.iContIcone, 1);
    EXPECT_EQ(animacao.bMeioAberto, -1);
    animacao.tick();
    animacao.tick();
    EXPECT_EQ(animacao.iContIcone, 3);
    animacao.tick();
    EXPECT_EQ(animacao.iContIcone, 3);
    EXPECT_EQ(animacao.bMeioAberto, 0);
    // Not half-open next: the closed frame, and the count starts again.
    EXPECT_EQ(animacao.tick().icone, "ATIVOFECHADO");
    EXPECT_EQ(animacao.iContIcone, 0);
}

class AcoesRegistradas : public AcoesBandeja {
  public:
    void mostraJanela() override { eventos.push_back("janela"); }
    void mostraMenu() override {
        eventos.push_back("menu");
        if (duranteOMenu) duranteOMenu();
    }
    std::vector<std::string> eventos;
    std::function<void()> duranteOMenu;
};

TEST(DecodificadorBandeja, SoltarEsquerdoMostraJanelaSoltarDireitoAbreMenuOResto_Nada) {
    DecodificadorBandeja decodificador;
    AcoesRegistradas acoes;
    for (std::uint32_t mensagem : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0x208u}) {
        decodificador.trataEvento(mensagem, acoes);
        EXPECT_EQ(decodificador.ultimaMensagem, mensagem);
    }
    EXPECT_TRUE(acoes.eventos.empty());

    decodificador.trataEvento(0x202, acoes);
    decodificador.trataEvento(0x205, acoes);
    EXPECT_EQ(acoes.eventos, (std::vector<std::string>{"janela", "menu"}));
    EXPECT_EQ(decodificador.bOcupado, 0);
}

TEST(DecodificadorBandeja, DuploCliqueMostraAJanelaSoUmaVez) {
    DecodificadorBandeja decodificador;
    AcoesRegistradas acoes;
    // What a desktop reports for a double click: the first release, then the double click.
    for (std::uint32_t mensagem : {0x201u, 0x202u, 0x203u})
        decodificador.trataEvento(mensagem, acoes);
    EXPECT_EQ(acoes.eventos, std::vector<std::string>{"janela"});
}

TEST(DecodificadorBandeja, EventosComOMenuAbertoSaoDescartados) {
    DecodificadorBandeja decodificador;
    AcoesRegistradas acoes;
    acoes.duranteOMenu = [&] {
        EXPECT_EQ(decodificador.bOcupado, -1);
        decodificador.trataEvento(0x205, acoes);
        decodificador.trataEvento(0x202, acoes);
        EXPECT_EQ(decodificador.ultimaMensagem, 0x202u);
    };
    decodificador.trataEvento(0x205, acoes);
    EXPECT_EQ(acoes.eventos, std::vector<std::string>{"menu"});
    // Once the menu is closed the tray answers again.
    decodificador.trataEvento(0x202, acoes);
    EXPECT_EQ(acoes.eventos, (std::vector<std::string>{"menu", "janela"}));
}

TEST(DecodificadorBandeja, FlagOcupadoCaiMesmoQuandoAAcaoFalha) {
    DecodificadorBandeja decodificador;
    AcoesRegistradas acoes;
    acoes.duranteOMenu = [] { throw std::runtime_error("menu"); };
    EXPECT_THROW(decodificador.trataEvento(0x205, acoes), std::runtime_error);
    EXPECT_EQ(decodificador.bOcupado, 0);
}

TEST(DecodificadorBandeja, MensagemDoXEmTwipsArredondaEmpatesParaOPar) {
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(514 * 15, 15), 0x202u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(517 * 15, 15), 0x205u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(514 * 15 + 7, 15), 514u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(514 * 15 + 8, 15), 515u);
    // 1029 / 2 = 514.5 goes to 514, 1031 / 2 = 515.5 to 516.
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(1029, 2), 514u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(1031, 2), 516u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(1e30, 15), 0u);
    EXPECT_EQ(DecodificadorBandeja::mensagemDeX(1, 0), 0u);
}

TEST(DecodificadorBandeja, XQueNaoDaUmSoltarNaoFazNada) {
    DecodificadorBandeja decodificador;
    AcoesRegistradas acoes;
    decodificador.trataEvento(DecodificadorBandeja::mensagemDeX(513 * 15 + 7, 15), acoes);
    decodificador.trataEvento(DecodificadorBandeja::mensagemDeX(518 * 15 - 7, 15), acoes);
    EXPECT_TRUE(acoes.eventos.empty());
}

}  // namespace
}  // namespace velmora
