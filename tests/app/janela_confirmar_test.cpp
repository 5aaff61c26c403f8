// The configuration form: the printer list and the confirm button, from the fields to the
// settings file and back to the tray.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "apoio/Falsos.h"

namespace velmora {
namespace {

using teste::JanelaDeTeste;

class ConfirmarJanela : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pasta.isValid());
        sArquivoIni = pasta.filePath("VELMORA.INI").toStdString();
    }

    // Start without a settings file, as on a first run, with these printers installed.
    void inicia(std::vector<InfoImpressora> impressoras = {}) {
        janela.motor->listaImpressoras = std::move(impressoras);
        janela->Form_Load();
        janela->Form_Initialize(sArquivoIni);
        QEvent ativacao(QEvent::WindowActivate);
        QApplication::sendEvent(janela.janela.get(), &ativacao);
    }

    void preenche(const QString& impressora, const QString& arquivos, bool backup, bool paralela,
                  const QString& porta, const QString& tempo) {
        janela.filho<QComboBox>("CbImpressoras")->setEditText(impressora);
        janela.filho<QLineEdit>("TxtArquivos")->setText(arquivos);
        janela.filho<QCheckBox>("ChkGerarbackUp")->setChecked(backup);
        janela.filho<QCheckBox>("chkParalela")->setChecked(paralela);
        janela.filho<QLineEdit>("txtPorta")->setText(porta);
        janela.filho<QLineEdit>("txtTempo")->setText(tempo);
    }

    void confirma() { janela.filho<QPushButton>("CmdConfirmar")->click(); }

    std::string arquivo() const {
        std::ifstream entrada(sArquivoIni, std::ios::binary);
        std::ostringstream conteudo;
        conteudo << entrada.rdbuf();
        return conteudo.str();
    }

    QTimer* timerImpressao() { return janela.filho<QTimer>("timerImpressao"); }
    QString txtTempo() { return janela.filho<QLineEdit>("txtTempo")->text(); }
    QString txtPorta() { return janela.filho<QLineEdit>("txtPorta")->text(); }

    QTemporaryDir pasta;
    std::string sArquivoIni;
    JanelaDeTeste janela;
};

TEST_F(ConfirmarJanela, ListaDeImpressorasNaOrdemDoSistemaSemTextoEscolhido) {
    inicia({{"B-primeira", "b"}, {"A-segunda", "a"}, {"Velmora PDF", "pdf"}});
    auto* lista = janela.filho<QComboBox>("CbImpressoras");
    ASSERT_EQ(lista->count(), 3);
    EXPECT_EQ(lista->itemText(0), "B-primeira");
    EXPECT_EQ(lista->itemText(1), "A-segunda");
    EXPECT_EQ(lista->itemText(2), "Velmora PDF");
    EXPECT_EQ(lista->currentText(), "");

    // Loading again replaces the list.
    janela.motor->listaImpressoras = {{"C", "c"}};
    janela->Form_Load();
    ASSERT_EQ(lista->count(), 1);
    EXPECT_EQ(lista->itemText(0), "C");
}

TEST_F(ConfirmarJanela, FalhaAoListarImpressorasFicaNoLogEALigaSemLista) {
    janela.motor->erroImpressoras = "CUPS fora do ar";
    inicia();
    EXPECT_EQ(janela.filho<QComboBox>("CbImpressoras")->count(), 0);
    EXPECT_EQ(janela.filho<QPlainTextEdit>("txtLog")->toPlainText(), "CUPS fora do ar\n");
    EXPECT_TRUE(janela->isVisible());
}

TEST_F(ConfirmarJanela, ConfiguracaoCompletaGravaEVaiParaABandejaImprimindo) {
    inicia({{"Matricial", "LPT1:"}});
    ASSERT_FALSE(timerImpressao()->isActive());
    preenche("Matricial", "/tmp/fila/*.TXT", true, false, "generica", "5");
    confirma();

    EXPECT_EQ(arquivo(),
              "LOCAL = /tmp/fila/*.TXT\r\nIMPRESSORA = Matricial\r\nBACKUP = 1\r\n"
              "PARALELA = 0\r\nPORTA = generica\r\n");
    EXPECT_FALSE(janela->isVisible());
    EXPECT_TRUE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(timerImpressao()->isActive());
    EXPECT_EQ(timerImpressao()->interval(), 5000);
    EXPECT_EQ(txtTempo(), "5");
    ASSERT_EQ(janela.shell.chamadas.size(), 1u);
    EXPECT_EQ(janela.shell.chamadas[0].first, OperacaoBandeja::adiciona);
    EXPECT_EQ(janela.shell.chamadas[0].second.dicaVisivel(), "Velmora ativo... ");
    const Valores& valores = janela.motor->valores();
    EXPECT_EQ(valores.sLocal, "/tmp/fila/*.TXT");
    EXPECT_EQ(valores.sBackup, "1");
    EXPECT_EQ(valores.sParalela, "0");
    EXPECT_TRUE(janela.aviso.avisos.empty());
}

TEST_F(ConfirmarJanela, NomeDaImpressoraFicaComoDigitado) {
    inicia({{"Matricial", "LPT1:"}});
    preenche("", "/tmp/fila/*.TXT", false, false, "generica", "5");
    auto* lista = janela.filho<QComboBox>("CbImpressoras");
    // Typed key by key into the focused field, then the field left: no completion of the prefix.
    QApplication::setActiveWindow(janela.janela.get());
    lista->lineEdit()->setFocus();
    for (const auto& [tecla, letra] :
         {std::pair{Qt::Key_M, "m"}, {Qt::Key_A, "a"}, {Qt::Key_T, "t"}}) {
        QKeyEvent evento(QEvent::KeyPress, tecla, Qt::NoModifier, QString::fromLatin1(letra));
        QApplication::sendEvent(lista->lineEdit(), &evento);
    }
    emit lista->lineEdit()->editingFinished();
    confirma();
    EXPECT_EQ(janela.motor->valores().sImpressora, "mat");

    // An installed printer's name in another case is not rewritten to the item's case.
    lista->setEditText("matricial");
    emit lista->lineEdit()->editingFinished();
    confirma();
    EXPECT_NE(arquivo().find("IMPRESSORA = matricial\r\n"), std::string::npos) << arquivo();
}

TEST_F(ConfirmarJanela, ValoresEmMemoriaSaoOsDoArquivoRelido) {
    inicia();
    // Blanks around the folder are trimmed by the settings file: memory and fields follow it.
    preenche("Laser", "  /tmp/fila/*.PRN  ", false, false, "x", "5");
    confirma();
    EXPECT_EQ(janela.motor->valores().sLocal, "/tmp/fila/*.PRN");
    EXPECT_EQ(janela.filho<QLineEdit>("TxtArquivos")->text(), "/tmp/fila/*.PRN");
}

TEST_F(ConfirmarJanela, PeriodoForaDosLimitesVolta3Segundos) {
    struct Caso {
        const char* texto;
        const char* campo;
        int intervalo;
    };
    // The rule is tested on its own; here, that the field and the timer follow it.
    for (const Caso& caso :
         {Caso{"0,5", "3", 3000}, Caso{"60", "60", 60000}, Caso{"2.5", "2.5", 2500}}) {
        SCOPED_TRACE(caso.texto);
        JanelaDeTeste outra;
        outra->Form_Load();
        outra->Form_Initialize(sArquivoIni);
        outra.filho<QLineEdit>("txtTempo")->setText(caso.texto);
        outra.filho<QPushButton>("CmdConfirmar")->click();
        EXPECT_EQ(outra.filho<QLineEdit>("txtTempo")->text(), caso.campo);
        EXPECT_EQ(outra.filho<QTimer>("timerImpressao")->interval(), caso.intervalo);
    }
}

TEST_F(ConfirmarJanela, SaidaDiretaSemPortaUsaAPortaDaImpressoraEscolhida) {
    inicia({{"Laser", "LPT2:"}, {"Matricial", "LPT1:"}});
    preenche("MATRICIAL", "/tmp/fila/*.TXT", false, true, "", "5");
    confirma();
    EXPECT_EQ(txtPorta(), "LPT1");
    EXPECT_EQ(janela.motor->valores().sPorta, "LPT1");
    EXPECT_NE(arquivo().find("PORTA = LPT1\r\n"), std::string::npos) << arquivo();
    EXPECT_NE(arquivo().find("IMPRESSORA = MATRICIAL\r\n"), std::string::npos);
}

TEST_F(ConfirmarJanela, PortaSoVemDaImpressoraComSaidaDiretaECampoVazio) {
    inicia({{"Matricial", "LPT1:"}});

    preenche("Outra", "/tmp/fila/*.TXT", false, true, "", "5");
    confirma();
    EXPECT_EQ(txtPorta(), "");
    EXPECT_EQ(janela.motor->valores().sPorta, "");
    EXPECT_NE(arquivo().find("PORTA = \r\n"), std::string::npos);

    preenche("Matricial", "/tmp/fila/*.TXT", false, false, "", "5");
    confirma();
    EXPECT_EQ(txtPorta(), "") << "raw output is off";

    preenche("Matricial", "/tmp/fila/*.TXT", false, true, "/dev/usb/lp0", "5");
    confirma();
    EXPECT_EQ(txtPorta(), "/dev/usb/lp0") << "a typed port wins";
}

TEST_F(ConfirmarJanela, PastaVaziaGravaMasFicaNaJanelaComOTimerLigado) {
    inicia({{"Matricial", "LPT1:"}});
    preenche("Matricial", "", false, false, "generica", "5");
    confirma();
    EXPECT_EQ(arquivo(),
              "LOCAL = \r\nIMPRESSORA = Matricial\r\nBACKUP = 0\r\nPARALELA = 0\r\n"
              "PORTA = generica\r\n");
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(janela.shell.chamadas.empty());
    EXPECT_TRUE(timerImpressao()->isActive());
}

TEST_F(ConfirmarJanela, ImpressoraVaziaTambemNaoVaiParaABandeja) {
    inicia();
    preenche("", "/tmp/fila/*.TXT", true, false, "generica", "5");
    confirma();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_TRUE(janela.shell.chamadas.empty());
}

TEST_F(ConfirmarJanela, ArquivoQueNaoSeGravaAvisaUmaVezEOHandlerSegue) {
    janela->Form_Load();
    const std::string semPasta = pasta.filePath("nao-existe/VELMORA.INI").toStdString();
    janela->Form_Initialize(semPasta);
    preenche("Matricial", "/tmp/fila/*.TXT", true, false, "generica", "7");
    confirma();

    ASSERT_EQ(janela.aviso.avisos.size(), 1u);
    EXPECT_NE(janela.aviso.avisos[0].find(semPasta), std::string::npos) << janela.aviso.avisos[0];
    // The fields' values stay in memory and the rest of the handler ran.
    EXPECT_EQ(janela.motor->valores().sImpressora, "Matricial");
    EXPECT_EQ(timerImpressao()->interval(), 7000);
    EXPECT_TRUE(timerImpressao()->isActive());
    EXPECT_FALSE(janela->isVisible());
    EXPECT_EQ(janela.shell.chamadas.size(), 1u);
}

TEST_F(ConfirmarJanela, ConfirmarDepoisDePausarVoltaAImprimir) {
    inicia();
    preenche("Matricial", "/tmp/fila/*.TXT", false, false, "generica", "5");
    confirma();
    ASSERT_TRUE(timerImpressao()->isActive());

    janela->PictIconeBandeja_MouseMove(0x202);
    QEvent ativacao(QEvent::WindowActivate);
    QApplication::sendEvent(janela.janela.get(), &ativacao);
    janela->setWindowState(Qt::WindowMinimized);
    ASSERT_FALSE(janela->isVisible());
    ASSERT_FALSE(timerImpressao()->isActive());

    janela->PictIconeBandeja_MouseMove(0x202);
    janela.filho<QLineEdit>("txtTempo")->setText("10");
    confirma();
    EXPECT_TRUE(timerImpressao()->isActive());
    EXPECT_EQ(timerImpressao()->interval(), 10000);
    EXPECT_FALSE(janela->isVisible());
}

TEST_F(ConfirmarJanela, SemBandejaNoDesktopConfirmarMinimizaEmVezDeEsconder) {
    janela.shell.temBandeja = false;
    inicia();
    preenche("Matricial", "/tmp/fila/*.TXT", false, false, "generica", "5");
    confirma();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_TRUE(janela->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_FALSE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(timerImpressao()->isActive());
}

TEST_F(ConfirmarJanela, CicloDeImpressaoRodaACadaTickDoTimer) {
    inicia();
    janela->timerImpressao_Timer();
    janela->timerImpressao_Timer();
    EXPECT_EQ(janela.motor->ciclos, 2);
    // The engine switches the window's own timer.
    janela.motor->timer.liga();
    EXPECT_TRUE(timerImpressao()->isActive());
    janela.motor->timer.desliga();
    EXPECT_FALSE(timerImpressao()->isActive());
}

}  // namespace
}  // namespace velmora
