// What the window holds when it is created, read back from the widget tree.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "apoio/Falsos.h"

namespace velmora {
namespace {

using teste::JanelaDeTeste;

struct Controle {
    const char* nome;
    const char* classe;
    const char* container;         // "" for the window itself
    int left, top, width, height;  // twips, as the layout table gives them
};

const Controle kControles[] = {
    {"Image", "QLabel", "", 120, 120, 6585, 1890},
    {"FrameInpressoras", "QGroupBox", "", 15, 2070, 6750, 720},
    {"CbImpressoras", "QComboBox", "FrameInpressoras", 90, 270, 6465, 315},
    {"FrameArquivosSelecionados", "QGroupBox", "", 15, 2805, 6750, 720},
    {"TxtArquivos", "QLineEdit", "FrameArquivosSelecionados", 90, 270, 6435, 315},
    {"FrameBackup", "QGroupBox", "", 15, 3540, 6765, 1560},
    {"ChkGerarbackUp", "QCheckBox", "FrameBackup", 90, 285, 3255, 195},
    {"Label1", "QLabel", "FrameBackup", 60, 1125, 2895, 255},
    {"txtPorta", "QLineEdit", "FrameBackup", 3120, 1080, 2775, 285},
    {"Label", "QLabel", "FrameBackup", 4920, 240, 1215, 255},
    {"txtTempo", "QLineEdit", "FrameBackup", 6120, 240, 495, 285},
    {"CmdConfirmar", "QPushButton", "FrameBackup", 6080, 840, 630, 630},
    {"chkParalela", "QCheckBox", "", 120, 4200, 2175, 195},
    {"PictIconeBandeja", "QLabel", "", 6480, 4560, 480, 480},
    {"txtLog", "QPlainTextEdit", "", 6840, 120, 5775, 4935},
};

int pixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

TEST(LayoutJanela, TituloEAreaCliente) {
    JanelaDeTeste janela;
    EXPECT_EQ(janela->objectName(), "FrmVelmora");
    EXPECT_EQ(janela->windowTitle(), QString::fromUtf8("Velmora - Configuração"));
    EXPECT_EQ(janela->size(), QSize(850, 342));
    EXPECT_FALSE(janela->windowIcon().isNull());
}

TEST(LayoutJanela, CadaControleComTipoContainerEPosicao) {
    JanelaDeTeste janela;
    for (const Controle& c : kControles) {
        SCOPED_TRACE(c.nome);
        auto* widget = janela.filho<QWidget>(c.nome);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), c.classe);
        const QString container = widget->parentWidget() == janela.janela.get()
                                      ? QString()
                                      : widget->parentWidget()->objectName();
        EXPECT_EQ(container, QString::fromLatin1(c.container));
        EXPECT_EQ(widget->geometry(),
                  QRect(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)));
    }
}

TEST(LayoutJanela, TextosELegendasComoNoDesenho) {
    JanelaDeTeste janela;
    EXPECT_EQ(janela.filho<QGroupBox>("FrameInpressoras")->title(), "Impressora");
    EXPECT_EQ(janela.filho<QGroupBox>("FrameArquivosSelecionados")->title(),
              QString::fromUtf8("Diretório e tipo de arquivos selecionados"));
    EXPECT_EQ(janela.filho<QGroupBox>("FrameBackup")->title(), "");
    EXPECT_EQ(janela.filho<QCheckBox>("ChkGerarbackUp")->text(),
              QString::fromUtf8("Gerar arquivo de backup após impressão"));
    EXPECT_EQ(janela.filho<QCheckBox>("chkParalela")->text(), "Impressora LPTx/Serial");
    EXPECT_EQ(janela.filho<QLabel>("Label1")->text(), "Caminho/porta: (LPT2, \\\\serv\\imp, etc)");
    EXPECT_EQ(janela.filho<QLabel>("Label")->text(), "Tempo (em seg)");
    EXPECT_EQ(janela.filho<QLineEdit>("txtPorta")->text(), "generica");
    EXPECT_EQ(janela.filho<QLineEdit>("txtTempo")->text(), "5");
    EXPECT_EQ(janela.filho<QLineEdit>("TxtArquivos")->text(), "");
    EXPECT_EQ(janela.filho<QPushButton>("CmdConfirmar")->text(), "");
    EXPECT_FALSE(janela.filho<QPushButton>("CmdConfirmar")->icon().isNull());
    EXPECT_TRUE(janela.filho<QComboBox>("CbImpressoras")->isEditable());
    EXPECT_EQ(janela.filho<QPlainTextEdit>("txtLog")->toPlainText(), "");
    EXPECT_EQ(janela.filho<QPlainTextEdit>("txtLog")->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
    auto* image = janela.filho<QLabel>("Image");
    EXPECT_TRUE(image->hasScaledContents());
    EXPECT_EQ(image->pixmap().size(), QSize(401, 102));
}

TEST(LayoutJanela, DicasComOsErrosDoOriginal) {
    JanelaDeTeste janela;
    EXPECT_EQ(janela.filho<QWidget>("CbImpressoras")->toolTip(),
              "Selecione a impressora que vai receber os arquivos enviados pelo Velmora");
    EXPECT_EQ(janela.filho<QWidget>("TxtArquivos")->toolTip(),
              QString::fromUtf8(
                  "Selecione a pasta/diretório e o tipo de arquivos que serã monitorados pelo "
                  "Velmora (Ex: C:\\VIDEO\\*.TXT;C:\\VIDEO\\*.PRN;). Separe cada tipo po um ; "
                  "(ponto e vírgula)"));
    EXPECT_EQ(janela.filho<QWidget>("ChkGerarbackUp")->toolTip(),
              QString::fromUtf8("Marque esta opção se desejar gravar um backup dos arquivos que "
                                "foram impressos."));
    EXPECT_EQ(janela.filho<QWidget>("CmdConfirmar")->toolTip(),
              QString::fromUtf8("Clique para gravar as configurações."));
    for (const char* semDica :
         {"Image", "FrameInpressoras", "FrameArquivosSelecionados", "FrameBackup", "Label1",
          "txtPorta", "Label", "txtTempo", "chkParalela", "PictIconeBandeja", "txtLog"}) {
        EXPECT_EQ(janela.filho<QWidget>(semDica)->toolTip(), "") << semDica;
    }
}

TEST(LayoutJanela, OrdemDeTabulacao) {
    JanelaDeTeste janela;
    QStringList ordem;
    QWidget* atual = janela.filho<QWidget>("CbImpressoras");
    for (int i = 0; i < 40 && atual; ++i) {
        // Unnamed widgets are the controls' own parts (the combo box's line edit).
        if ((atual->focusPolicy() & Qt::TabFocus) && !atual->objectName().isEmpty() &&
            !atual->objectName().startsWith("qt_")) {
            if (!ordem.isEmpty() && atual->objectName() == ordem.first()) break;
            ordem << atual->objectName();
        }
        atual = atual->nextInFocusChain();
    }
    EXPECT_EQ(ordem, QStringList({"CbImpressoras", "TxtArquivos", "ChkGerarbackUp", "chkParalela",
                                  "txtPorta", "txtTempo", "txtLog", "CmdConfirmar"}));
}

TEST(LayoutJanela, TimersComSeusIntervalos) {
    JanelaDeTeste janela;
    auto* impressao = janela.filho<QTimer>("timerImpressao");
    auto* icone = janela.filho<QTimer>("timerIcone");
    ASSERT_TRUE(impressao && icone);
    EXPECT_EQ(impressao->interval(), 3000);
    EXPECT_FALSE(impressao->isActive());
    EXPECT_EQ(icone->interval(), 1000);
    EXPECT_TRUE(icone->isActive()) << "the blink runs from creation";
    EXPECT_EQ(icone->timerType(), Qt::PreciseTimer) << "a coarse timer stretches the blink";
}

TEST(LayoutJanela, MenuDaBandejaOcultoComConfigurarESair) {
    JanelaDeTeste janela;
    auto* menu = janela.filho<QMenu>("mnu_IconeBandeja");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "mnu_IconeBandeja");
    EXPECT_FALSE(menu->isVisible());
    const auto acoes = menu->actions();
    ASSERT_EQ(acoes.size(), 2);
    EXPECT_EQ(acoes[0]->objectName(), "mnu_IconeBandeja_Configurar");
    EXPECT_EQ(acoes[0]->text(), "Configurar Velmora");
    EXPECT_EQ(acoes[1]->objectName(), "mnu_IconeBandeja_Sair");
    EXPECT_EQ(acoes[1]->text(), "Sair");
    // No menu bar: the window's only menu is the tray's pop-up.
    EXPECT_TRUE(janela->actions().isEmpty());
}

}  // namespace
}  // namespace velmora
