// What a person sees of the window on either road to it: the first start, and the everyday one
// (a settings file, then a click on the tray icon).

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <fstream>
#include <map>
#include <utility>

#include "apoio/Falsos.h"

namespace velmora {
namespace {

using teste::JanelaDeTeste;

struct Vista {
    std::map<QString, QString> fontes;  // child -> font, for every named child
    std::map<QString, int> larguras;    // captioned control -> its caption's width
};

// The caption's width by the font the control draws with, and the room the control gives it;
// 0 for a control without a caption.
std::pair<int, int> legenda(QWidget* controle) {
    if (auto* caixa = qobject_cast<QCheckBox*>(controle)) {
        QStyleOptionButton opcao;
        opcao.initFrom(caixa);
        opcao.text = caixa->text();
        const QRect espaco =
            caixa->style()->subElementRect(QStyle::SE_CheckBoxContents, &opcao, caixa);
        return {caixa->fontMetrics().horizontalAdvance(caixa->text()), espaco.width()};
    }
    if (auto* rotulo = qobject_cast<QLabel*>(controle); rotulo && !rotulo->text().isEmpty()) {
        return {rotulo->fontMetrics().horizontalAdvance(rotulo->text()),
                rotulo->contentsRect().width()};
    }
    if (auto* quadro = qobject_cast<QGroupBox*>(controle); quadro && !quadro->title().isEmpty()) {
        return {quadro->fontMetrics().horizontalAdvance(quadro->title()), quadro->width()};
    }
    return {0, 0};
}

Vista vista(FrmVelmora& janela) {
    Vista v;
    for (QWidget* filho : janela.findChildren<QWidget*>()) {
        if (filho->objectName().isEmpty() || filho->objectName().startsWith("qt_")) continue;
        v.fontes[filho->objectName()] = filho->font().toString();
        const auto [largura, espaco] = legenda(filho);
        if (largura == 0) continue;
        v.larguras[filho->objectName()] = largura;
        EXPECT_LE(largura, espaco) << filho->objectName().toStdString() << " cortado";
    }
    return v;
}

class AparenciaJanela : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pasta.isValid());
        comIni = pasta.filePath("VELMORA.INI").toStdString();
        semIni = pasta.filePath("OUTRO.INI").toStdString();
        std::ofstream(comIni, std::ios::binary)
            << "LOCAL = /tmp/fila/*.TXT\r\nIMPRESSORA = matricial\r\nBACKUP = 1\r\n"
               "PARALELA = 0\r\nPORTA = LPT2\r\n";
    }

    // The everyday road: start in the tray, then the left click on the icon.
    void pelaBandeja(JanelaDeTeste& janela) {
        janela->Form_Load();
        janela->Form_Initialize(comIni);
        ASSERT_FALSE(janela->isVisible());
        janela->PictIconeBandeja_MouseMove(0x202);
        ASSERT_TRUE(janela->isVisible());
    }

    void primeiraVez(JanelaDeTeste& janela) {
        janela->Form_Load();
        janela->Form_Initialize(semIni);
        ASSERT_TRUE(janela->isVisible());
    }

    QTemporaryDir pasta;
    std::string comIni;
    std::string semIni;
};

TEST_F(AparenciaJanela, PelaBandejaAJanelaEAMesmaDaPrimeiraVezESemLegendaCortada) {
    JanelaDeTeste primeira;
    primeiraVez(primeira);
    const Vista esperada = vista(*primeira);
    ASSERT_FALSE(esperada.larguras.empty());

    JanelaDeTeste diaria;
    pelaBandeja(diaria);
    const Vista vistaDiaria = vista(*diaria);
    EXPECT_EQ(vistaDiaria.fontes, esperada.fontes);
    EXPECT_EQ(vistaDiaria.larguras, esperada.larguras);
    // The window's own small font, not the application's default.
    EXPECT_EQ(diaria.filho<QWidget>("ChkGerarbackUp")->font().pointSize(),
              diaria->font().pointSize());
    EXPECT_NE(diaria->font().pointSize(), QApplication::font().pointSize());
}

// Where the window stands, along one axis of the screen: centred, or at the start when it does
// not fit.
void confereCentrada(int inicio, int tamanho, int inicioTela, int tamanhoTela) {
    if (tamanho > tamanhoTela) {
        EXPECT_EQ(inicio, inicioTela);
    } else {
        EXPECT_NEAR(inicio - inicioTela, (tamanhoTela - tamanho) / 2, 1);
    }
}

TEST_F(AparenciaJanela, CentralizadaNaPrimeiraVezDepoisOndeOUsuarioDeixou) {
    for (const bool bandeja : {false, true}) {
        SCOPED_TRACE(bandeja ? "pela bandeja" : "primeira vez");
        JanelaDeTeste janela;
        bandeja ? pelaBandeja(janela) : primeiraVez(janela);
        const QRect tela = janela->screen()->availableGeometry();
        const QRect posicao = janela->frameGeometry();
        confereCentrada(posicao.left(), posicao.width(), tela.left(), tela.width());
        confereCentrada(posicao.top(), posicao.height(), tela.top(), tela.height());
        ASSERT_NE(posicao.top(), tela.top()) << "the screen is tall enough to tell";

        janela->move(posicao.topLeft() + QPoint(7, 9));
        janela->hide();
        janela->PictIconeBandeja_MouseMove(0x202);
        EXPECT_EQ(janela->pos(), posicao.topLeft() + QPoint(7, 9));
    }
}

}  // namespace
}  // namespace velmora
