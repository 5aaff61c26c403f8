// The tray from the window's side: the blinking icon and its tips, mouse events and the pop-up
// menu, the Qt tray entry behind the record, and the question boxes.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <memory>

#include "apoio/Falsos.h"
#include "app/linux/BandejaQt.h"
#include "app/linux/CaixasMensagem.h"
#include "app/linux/TraducaoQt.h"

namespace velmora {
namespace {

using teste::AvisoFalso;
using teste::JanelaDeTeste;
using teste::MotorFalso;
using teste::PerguntaFalsa;

class BandejaJanela : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pasta.isValid());
        sArquivoIni = pasta.filePath("VELMORA.INI").toStdString();
        std::ofstream(sArquivoIni, std::ios::binary)
            << "LOCAL = /tmp/fila/*.TXT\r\nIMPRESSORA = Matricial\r\nBACKUP = 0\r\n";
    }

    QTemporaryDir pasta;
    std::string sArquivoIni;
};

TEST_F(BandejaJanela, AnimacaoTrocaIconesIntervaloEDicaACadaTick) {
    JanelaDeTeste janela;
    janela->Form_Load();
    janela->Form_Initialize(sArquivoIni);
    auto& chamadas = janela.shell.chamadas;
    ASSERT_EQ(chamadas.size(), 1u);
    // Until the first tick: the design-time icon and the tip with its trailing blank.
    EXPECT_EQ(chamadas[0].second.icone, janela.icones.handle("velmora"));
    EXPECT_EQ(chamadas[0].second.dicaVisivel(), "Velmora ativo... ");

    auto* timerIcone = janela.filho<QTimer>("timerIcone");
    auto* pict = janela.filho<QLabel>("PictIconeBandeja");
    struct Esperado {
        const char* icone;
        int intervalo;
        const char* dica;
    };
    const Esperado ciclo[] = {{"ATIVOABERTO", 1000, "Velmora ativo..."},
                              {"ATIVOABERTO", 1000, "Velmora ativo..."},
                              {"ATIVOABERTO", 1000, "Velmora ativo..."},
                              {"ATIVOMEIOABERTO", 100, ""},
                              {"ATIVOFECHADO", 100, ""},
                              {"ATIVOABERTO", 1000, "Velmora ativo..."}};
    for (const Esperado& esperado : ciclo) {
        SCOPED_TRACE(esperado.icone);
        janela->timerIcone_Timer();
        const QIcon icone = janela.icones.icone(esperado.icone);
        ASSERT_FALSE(icone.isNull());
        EXPECT_EQ(janela->windowIcon().cacheKey(), icone.cacheKey());
        EXPECT_EQ(pict->pixmap().cacheKey(), janela.icones.quadro(esperado.icone).cacheKey());
        EXPECT_EQ(timerIcone->interval(), esperado.intervalo);
        EXPECT_TRUE(timerIcone->isActive());
        EXPECT_EQ(chamadas.back().first, OperacaoBandeja::modifica);
        EXPECT_EQ(chamadas.back().second.icone, janela.icones.handle(esperado.icone));
        EXPECT_EQ(chamadas.back().second.dicaVisivel(), esperado.dica);
    }
    EXPECT_EQ(chamadas.size(), 7u);
}

TEST_F(BandejaJanela, AnimacaoCorreAntesDeHaverIconeNaBandeja) {
    JanelaDeTeste janela;
    janela->Form_Load();
    janela->Form_Initialize(pasta.filePath("outro.ini").toStdString());
    janela->timerIcone_Timer();
    EXPECT_EQ(janela->windowIcon().cacheKey(), janela.icones.icone("ATIVOABERTO").cacheKey());
    ASSERT_EQ(janela.shell.chamadas.size(), 1u);
    EXPECT_EQ(janela.shell.chamadas[0].first, OperacaoBandeja::modifica);
    EXPECT_FALSE(janela.shell.presente);
}

TEST_F(BandejaJanela, IconesSaoCarregadosUmaVezEReaproveitados) {
    const IconesRecurso icones;
    for (const char* nome : {"velmora", "ATIVOABERTO", "ATIVOMEIOABERTO", "ATIVOFECHADO", "ERRO"}) {
        SCOPED_TRACE(nome);
        ASSERT_FALSE(icones.icone(nome).isNull());
        EXPECT_EQ(icones.icone(nome).cacheKey(), icones.icone(nome).cacheKey());
        EXPECT_EQ(icones.porHandle(icones.handle(nome)).cacheKey(), icones.icone(nome).cacheKey());
        EXPECT_EQ(icones.quadro(nome).size(), QSize(32, 32));
    }
    EXPECT_TRUE(icones.icone("NAOEXISTE").isNull());
    EXPECT_EQ(icones.handle("NAOEXISTE"), 0u);
    EXPECT_TRUE(icones.porHandle(0).isNull());
}

TEST_F(BandejaJanela, CliquesQueNaoSaoSoltarEsquerdoOuDireitoNaoFazemNada) {
    JanelaDeTeste janela;
    janela->Form_Load();
    janela->Form_Initialize(sArquivoIni);
    ASSERT_FALSE(janela->isVisible());
    int menus = 0;
    QObject::connect(janela.filho<QMenu>("mnu_IconeBandeja"), &QMenu::aboutToShow,
                     [&] { ++menus; });
    for (quint32 mensagem : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x208u, 0u}) {
        janela->PictIconeBandeja_MouseMove(mensagem);
    }
    EXPECT_FALSE(janela->isVisible());
    EXPECT_EQ(menus, 0);
}

TEST_F(BandejaJanela, DireitoAbreOMenuUmaVezMesmoComOutroCliqueComOMenuAberto) {
    JanelaDeTeste janela;
    janela->Form_Load();
    janela->Form_Initialize(sArquivoIni);
    auto* menu = janela.filho<QMenu>("mnu_IconeBandeja");
    int menus = 0;
    bool visivelDuranteOMenu = false;
    QObject::connect(menu, &QMenu::aboutToShow, [&] { ++menus; });
    // Runs inside the menu's own event loop.
    QTimer::singleShot(0, menu, [&] {
        visivelDuranteOMenu = menu->isVisible();
        janela->PictIconeBandeja_MouseMove(0x205);
        janela->PictIconeBandeja_MouseMove(0x202);
        menu->close();
    });
    janela->PictIconeBandeja_MouseMove(0x205);
    EXPECT_TRUE(visivelDuranteOMenu);
    EXPECT_EQ(menus, 1);
    EXPECT_FALSE(janela->isVisible()) << "the left click during the menu was dropped";

    // The menu closed: the tray answers again.
    janela->PictIconeBandeja_MouseMove(0x202);
    EXPECT_TRUE(janela->isVisible());
}

TEST_F(BandejaJanela, SairNoMenuDaBandejaPerguntaEEncerra) {
    JanelaDeTeste janela;
    janela->Form_Load();
    janela->Form_Initialize(sArquivoIni);
    int encerramentos = 0;
    QObject::connect(janela.janela.get(), &FrmVelmora::encerrado, [&] { ++encerramentos; });
    auto* menu = janela.filho<QMenu>("mnu_IconeBandeja");
    QTimer::singleShot(0, menu, [&] {
        menu->actions().at(1)->trigger();
        menu->close();
    });
    janela->PictIconeBandeja_MouseMove(0x205);
    EXPECT_EQ(janela.pergunta.perguntas.size(), 1u);
    EXPECT_EQ(encerramentos, 1);
    EXPECT_FALSE(janela.shell.presente);
}

TEST(BandejaQt, MotivosDoQtViramMensagensDoMouse) {
    EXPECT_EQ(BandejaQt::mensagemDoMotivo(QSystemTrayIcon::Trigger), 0x202u);
    EXPECT_EQ(BandejaQt::mensagemDoMotivo(QSystemTrayIcon::Context), 0x205u);
    EXPECT_EQ(BandejaQt::mensagemDoMotivo(QSystemTrayIcon::DoubleClick), 0x203u);
    EXPECT_EQ(BandejaQt::mensagemDoMotivo(QSystemTrayIcon::MiddleClick), 0x208u);
    EXPECT_EQ(BandejaQt::mensagemDoMotivo(QSystemTrayIcon::Unknown), 0u);
}

// Repeated frames are not sent again to the tray host; what it shows is still the last record.
TEST(BandejaQt, QuadroRepetidoOuAlternadoMostraSempreOUltimoRegistro) {
    const IconesRecurso icones;
    BandejaQt bandeja(icones);
    const auto registro = [&](const char* icone, const char* dica) {
        RegistroNotificacao r;
        r.icone = icones.handle(icone);
        r.defineDica(dica);
        return r;
    };
    const auto mostra = [&](const char* icone, const char* dica) {
        EXPECT_EQ(bandeja.icone().icon().cacheKey(), icones.icone(icone).cacheKey()) << icone;
        EXPECT_EQ(bandeja.icone().toolTip(), dica);
    };

    bandeja.notifica(OperacaoBandeja::adiciona, registro("ATIVOABERTO", "Velmora ativo..."));
    bandeja.notifica(OperacaoBandeja::modifica, registro("ATIVOABERTO", "Velmora ativo..."));
    mostra("ATIVOABERTO", "Velmora ativo...");
    bandeja.notifica(OperacaoBandeja::modifica, registro("ATIVOMEIOABERTO", ""));
    bandeja.notifica(OperacaoBandeja::modifica, registro("ATIVOFECHADO", ""));
    mostra("ATIVOFECHADO", "");
    bandeja.notifica(OperacaoBandeja::modifica, registro("ATIVOABERTO", "Velmora ativo..."));
    mostra("ATIVOABERTO", "Velmora ativo...");

    // Removed and added again: the new record shows, even where it repeats the old one.
    bandeja.notifica(OperacaoBandeja::remove, registro("ATIVOABERTO", "Velmora ativo..."));
    bandeja.notifica(OperacaoBandeja::adiciona, registro("ATIVOABERTO", "Velmora ativo..."));
    EXPECT_TRUE(bandeja.icone().isVisible());
    mostra("ATIVOABERTO", "Velmora ativo...");
}

TEST(BandejaQt, AdicionaUmaVezModificaSoOQueExisteERemove) {
    const IconesRecurso icones;
    BandejaQt bandeja(icones);
    RegistroNotificacao registro;
    registro.icone = icones.handle("velmora");
    registro.defineDica("Velmora ativo... ");

    bandeja.notifica(OperacaoBandeja::modifica, registro);
    EXPECT_FALSE(bandeja.presente());
    EXPECT_EQ(bandeja.icone().toolTip(), "") << "nothing to modify yet";

    bandeja.notifica(OperacaoBandeja::adiciona, registro);
    EXPECT_TRUE(bandeja.presente());
    EXPECT_TRUE(bandeja.icone().isVisible());
    EXPECT_EQ(bandeja.icone().toolTip(), "Velmora ativo... ");
    EXPECT_EQ(bandeja.icone().icon().cacheKey(), icones.icone("velmora").cacheKey());

    RegistroNotificacao segundo = registro;
    segundo.defineDica("outra");
    bandeja.notifica(OperacaoBandeja::adiciona, segundo);
    EXPECT_EQ(bandeja.icone().toolTip(), "Velmora ativo... ") << "a second add changes nothing";

    registro.icone = icones.handle("ATIVOFECHADO");
    registro.defineDica("");
    bandeja.notifica(OperacaoBandeja::modifica, registro);
    EXPECT_EQ(bandeja.icone().toolTip(), "");
    EXPECT_EQ(bandeja.icone().icon().cacheKey(), icones.icone("ATIVOFECHADO").cacheKey());

    bandeja.notifica(OperacaoBandeja::remove, registro);
    EXPECT_FALSE(bandeja.presente());
    EXPECT_FALSE(bandeja.icone().isVisible());
    registro.defineDica("depois");
    bandeja.notifica(OperacaoBandeja::modifica, registro);
    EXPECT_EQ(bandeja.icone().toolTip(), "");
}

TEST(BandejaQt, JanelaComABandejaDoQtMostraADicaDoRegistro) {
    QTemporaryDir pasta;
    const std::string ini = pasta.filePath("VELMORA.INI").toStdString();
    std::ofstream(ini, std::ios::binary) << "LOCAL = /tmp/x/*.TXT\r\nIMPRESSORA = M\r\n";
    const IconesRecurso icones;
    BandejaQt bandeja(icones);
    PerguntaFalsa pergunta;
    AvisoFalso aviso;
    FrmVelmora janela({[](ChaveTimer& timer) { return std::make_unique<MotorFalso>(timer); },
                       pergunta, aviso, bandeja, icones});
    QObject::connect(&bandeja, &BandejaQt::eventoMouse, &janela,
                     &FrmVelmora::PictIconeBandeja_MouseMove);
    janela.Form_Load();
    janela.Form_Initialize(ini);
    EXPECT_EQ(bandeja.icone().toolTip(), "Velmora ativo... ");
    janela.timerIcone_Timer();
    EXPECT_EQ(bandeja.icone().toolTip(), "Velmora ativo...");

    // The tray's activation reaches the window as the left-button release, once the tray's own
    // handler has returned.
    // (Offscreen has no tray: the window waits minimised instead of hidden.)
    ASSERT_TRUE(janela.isMinimized());
    emit bandeja.icone().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(janela.isMinimized());
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(janela.isMinimized());
    EXPECT_TRUE(janela.isVisible());

    EXPECT_TRUE(janela.close());
    EXPECT_FALSE(bandeja.presente());
}

// Answers the next modal box from inside its own loop and says what it looked like.
struct CaixaVista {
    QString titulo, texto;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    bool padraoSim = false;
    QStringList botoes;  // as a person reads them, without the accelerator marks
};

void responde(CaixaVista& vista, QMessageBox::StandardButton botao) {
    QTimer::singleShot(0, [&vista, botao] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa) {
            ADD_FAILURE() << "no box open";
            return;
        }
        vista.titulo = caixa->windowTitle();
        vista.texto = caixa->text();
        vista.icone = caixa->icon();
        vista.padraoSim = caixa->defaultButton() == caixa->button(QMessageBox::Yes);
        for (QAbstractButton* b : caixa->buttons()) vista.botoes << QString(b->text()).remove('&');
        caixa->button(botao)->click();
    });
}

TEST(CaixasMensagem, PerguntaDeEncerramentoComTituloIconeEPadraoSim) {
    PerguntaCaixa pergunta(QString::fromUtf8("Velmora -Encerramento"), QMessageBox::Question);
    CaixaVista vista;
    responde(vista, QMessageBox::No);
    EXPECT_FALSE(pergunta.sim("Deseja encerrar o usa do Velmora ?"));
    EXPECT_EQ(vista.titulo, "Velmora -Encerramento");
    EXPECT_EQ(vista.texto, "Deseja encerrar o usa do Velmora ?");
    EXPECT_EQ(vista.icone, QMessageBox::Question);
    EXPECT_TRUE(vista.padraoSim);

    responde(vista, QMessageBox::Yes);
    EXPECT_TRUE(pergunta.sim("Deseja encerrar o usa do Velmora ?"));
}

TEST(CaixasMensagem, AvisoMostraOTextoComOTituloDoPrograma) {
    AvisoCaixa aviso;
    CaixaVista vista;
    responde(vista, QMessageBox::Ok);
    aviso.mostra("Não foi possível gravar o arquivo de configuração /x/VELMORA.INI: Permissão");
    EXPECT_EQ(vista.titulo, "Velmora");
    EXPECT_EQ(vista.icone, QMessageBox::Warning);
    EXPECT_EQ(vista.texto,
              QString::fromUtf8(
                  "Não foi possível gravar o arquivo de configuração /x/VELMORA.INI: Permissão"));
}

TEST(CaixasMensagem, TextosDoProprioQtEmPortugues) {
    EXPECT_NE(instalaTraducaoQt(*qApp, QStringLiteral("/sem/traducoes")), std::nullopt)
        << "a missing translation is reported, and nothing else happens";
    ASSERT_EQ(instalaTraducaoQt(*qApp), std::nullopt);

    PerguntaCaixa pergunta(QString::fromUtf8("Velmora -Encerramento"), QMessageBox::Question);
    CaixaVista vista;
    responde(vista, QMessageBox::No);
    pergunta.sim("Deseja encerrar o usa do Velmora ?");
    vista.botoes.sort();
    EXPECT_EQ(vista.botoes, QStringList({QString::fromUtf8("Não"), "Sim"}));
    EXPECT_EQ(vista.texto, "Deseja encerrar o usa do Velmora ?");

    QLineEdit campo(QStringLiteral("texto"));
    std::unique_ptr<QMenu> menu(campo.createStandardContextMenu());
    QStringList entradas;
    for (QAction* acao : menu->actions()) {
        if (!acao->isSeparator()) entradas << acao->text().remove('&').section('\t', 0, 0);
    }
    EXPECT_TRUE(entradas.contains("Desfazer")) << entradas.join(", ").toStdString();
    EXPECT_TRUE(entradas.contains("Colar")) << entradas.join(", ").toStdString();
}

}  // namespace
}  // namespace velmora
