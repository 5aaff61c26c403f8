// Start-up, the window states (activation, minimise, the tray's Configurar) and the confirmed
// end, driven through the window's handlers and events.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "apoio/Falsos.h"

namespace velmora {
namespace {

using teste::JanelaDeTeste;

const char* const kIniCompleto =
    "LOCAL = /tmp/fila/*.TXT\r\nIMPRESSORA = Matricial\r\nBACKUP = 1\r\nPARALELA = 0\r\n"
    "PORTA = LPT2\r\n";

class EstadosJanela : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pasta.isValid());
        sArquivoIni = pasta.filePath("VELMORA.INI").toStdString();
        QObject::connect(janela.janela.get(), &FrmVelmora::encerrado, [this] {
            ++encerramentos;
            bandejaNoEncerramento = janela.shell.presente;
        });
    }

    void escreveIni(const std::string& conteudo) {
        std::ofstream(sArquivoIni, std::ios::binary) << conteudo;
    }

    void inicia() {
        janela->Form_Load();
        janela->Form_Initialize(sArquivoIni);
    }

    QTimer* timerImpressao() { return janela.filho<QTimer>("timerImpressao"); }

    void ativa() {
        QEvent ativacao(QEvent::WindowActivate);
        QApplication::sendEvent(janela.janela.get(), &ativacao);
    }

    void minimiza() { janela->setWindowState(janela->windowState() | Qt::WindowMinimized); }

    int chamadas(OperacaoBandeja operacao) const {
        int n = 0;
        for (const auto& chamada : janela.shell.chamadas) n += chamada.first == operacao;
        return n;
    }

    QTemporaryDir pasta;
    std::string sArquivoIni;
    JanelaDeTeste janela;
    int encerramentos = 0;
    bool bandejaNoEncerramento = true;
};

TEST_F(EstadosJanela, SemArquivoMostraAJanelaSemBandejaSemImprimirENaoCriaArquivo) {
    inicia();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(janela->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_FALSE(janela->retiradaDaListaDeTarefas());
    EXPECT_FALSE(timerImpressao()->isActive());
    EXPECT_TRUE(janela.shell.chamadas.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(sArquivoIni)));
    EXPECT_EQ(janela.motor->valores().sArquivoIni, sArquivoIni);
    EXPECT_TRUE(janela.aviso.avisos.empty());
}

TEST_F(EstadosJanela, ComArquivoComecaOcultaNaBandejaImprimindo) {
    escreveIni(kIniCompleto);
    inicia();
    EXPECT_FALSE(janela->isVisible());
    EXPECT_TRUE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(timerImpressao()->isActive());
    EXPECT_EQ(timerImpressao()->interval(), 3000);

    ASSERT_EQ(janela.shell.chamadas.size(), 1u);
    EXPECT_EQ(janela.shell.chamadas[0].first, OperacaoBandeja::adiciona);
    EXPECT_EQ(janela.shell.chamadas[0].second.dicaVisivel(), "Velmora ativo... ");

    const Valores& valores = janela.motor->valores();
    EXPECT_EQ(valores.sLocal, "/tmp/fila/*.TXT");
    EXPECT_EQ(valores.sImpressora, "Matricial");
    EXPECT_EQ(janela.filho<QComboBox>("CbImpressoras")->currentText(), "Matricial");
    EXPECT_TRUE(janela.filho<QCheckBox>("ChkGerarbackUp")->isChecked());
    EXPECT_FALSE(janela.filho<QCheckBox>("chkParalela")->isChecked());
    EXPECT_EQ(janela.filho<QLineEdit>("TxtArquivos")->text(), "/tmp/fila/*.TXT");
    EXPECT_EQ(janela.filho<QLineEdit>("txtPorta")->text(), "LPT2");
}

TEST_F(EstadosJanela, FlagVazioOuQueNaoENumeroMostraDesmarcado) {
    escreveIni("LOCAL = /f/*.TXT\r\nIMPRESSORA = X\r\nBACKUP = \r\nPARALELA = 1\r\nPORTA = \r\n");
    inicia();
    EXPECT_FALSE(janela.filho<QCheckBox>("ChkGerarbackUp")->isChecked());
    EXPECT_TRUE(janela.filho<QCheckBox>("chkParalela")->isChecked());
    EXPECT_EQ(janela.filho<QLineEdit>("txtPorta")->text(), "");

    JanelaDeTeste outra;
    escreveIni("LOCAL = /f/*.TXT\r\nBACKUP = x\r\nPARALELA = 2\r\n");
    outra->Form_Load();
    outra->Form_Initialize(sArquivoIni);
    EXPECT_FALSE(outra.filho<QCheckBox>("ChkGerarbackUp")->isChecked());
    EXPECT_FALSE(outra.filho<QCheckBox>("chkParalela")->isChecked());
    EXPECT_TRUE(outra.filho<QTimer>("timerImpressao")->isActive()) << "the program goes on";
}

TEST_F(EstadosJanela, ArquivoQueNaoSeLeAvisaEEsperaConfiguracao) {
    // A regular file whose first read fails with an I/O error, even for root.
    janela->Form_Load();
    janela->Form_Initialize("/proc/self/mem");
    ASSERT_EQ(janela.aviso.avisos.size(), 1u);
    EXPECT_NE(janela.aviso.avisos[0].find("/proc/self/mem"), std::string::npos)
        << janela.aviso.avisos[0];
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(timerImpressao()->isActive());
    EXPECT_TRUE(janela.shell.chamadas.empty());
}

TEST_F(EstadosJanela, SemBandejaNoDesktopAJanelaFicaMinimizadaNaBarraDeTarefas) {
    janela.shell.temBandeja = false;
    escreveIni(kIniCompleto);
    inicia();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_TRUE(janela->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_FALSE(janela->retiradaDaListaDeTarefas());
    EXPECT_TRUE(timerImpressao()->isActive());

    janela->setWindowState(Qt::WindowNoState);
    minimiza();
    EXPECT_TRUE(janela->isVisible()) << "minimising must not hide it into nothing";
}

TEST_F(EstadosJanela, AtivarParaAImpressaoEMinimizarEsconde) {
    escreveIni(kIniCompleto);
    inicia();
    ASSERT_TRUE(timerImpressao()->isActive());

    // Configurar from the tray menu: normal state, shown, then the activation stops printing.
    janela.filho<QAction>("mnu_IconeBandeja_Configurar")->trigger();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(janela->windowState().testFlag(Qt::WindowMinimized));
    ativa();
    EXPECT_FALSE(timerImpressao()->isActive());

    // Paused in the tray: hidden, still not printing.
    minimiza();
    EXPECT_FALSE(janela->isVisible());
    EXPECT_FALSE(timerImpressao()->isActive());

    // The tray's left click brings it back in the normal state.
    janela->PictIconeBandeja_MouseMove(0x202);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(janela->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_FALSE(timerImpressao()->isActive());
    EXPECT_EQ(chamadas(OperacaoBandeja::adiciona), 1);
}

TEST_F(EstadosJanela, CadaAtivacaoDesligaOTimerDeImpressao) {
    escreveIni(kIniCompleto);
    inicia();
    for (int i = 0; i < 2; ++i) {
        timerImpressao()->start();
        ativa();
        EXPECT_FALSE(timerImpressao()->isActive());
    }
}

TEST_F(EstadosJanela, NaoAoEncerrarNaoMudaNada) {
    escreveIni(kIniCompleto);
    inicia();
    janela.pergunta.resposta = false;

    EXPECT_FALSE(janela->close());
    janela.filho<QAction>("mnu_IconeBandeja_Sair")->trigger();

    EXPECT_EQ(janela.pergunta.perguntas,
              std::vector<std::string>(2, "Deseja encerrar o usa do Velmora ?"));
    EXPECT_EQ(encerramentos, 0);
    EXPECT_FALSE(janela->isVisible()) << "hidden stays hidden";
    EXPECT_TRUE(timerImpressao()->isActive());
    EXPECT_TRUE(janela.filho<QTimer>("timerIcone")->isActive());
    EXPECT_EQ(chamadas(OperacaoBandeja::remove), 0);
    EXPECT_TRUE(janela.shell.presente);
}

TEST_F(EstadosJanela, SimRemoveOIconeDaBandejaAntesDeEncerrar) {
    escreveIni(kIniCompleto);
    inicia();
    janela.pergunta.aoPerguntar = [&] { EXPECT_TRUE(janela.shell.presente); };

    janela.filho<QAction>("mnu_IconeBandeja_Sair")->trigger();
    EXPECT_EQ(janela.pergunta.perguntas.size(), 1u);
    EXPECT_EQ(encerramentos, 1);
    EXPECT_FALSE(bandejaNoEncerramento);
    EXPECT_EQ(janela.shell.chamadas.back().first, OperacaoBandeja::remove);
    EXPECT_EQ(janela.shell.chamadas.back().second.id, 1u);
    EXPECT_FALSE(timerImpressao()->isActive());
    EXPECT_FALSE(janela.filho<QTimer>("timerIcone")->isActive());

    // Closing again once the end is confirmed asks nothing more.
    EXPECT_TRUE(janela->close());
    EXPECT_EQ(janela.pergunta.perguntas.size(), 1u);
}

TEST_F(EstadosJanela, FimDaSessaoFazAMesmaPerguntaENaoCancelaSe) {
    escreveIni(kIniCompleto);
    inicia();
    janela.pergunta.resposta = false;
    EXPECT_TRUE(janela->fimDaSessao(true)) << "No cancels the end of the session";
    EXPECT_EQ(encerramentos, 0);
    EXPECT_TRUE(janela.shell.presente);
    EXPECT_TRUE(timerImpressao()->isActive());

    // A session that allows no questions gets none, and the program does not end on its own.
    EXPECT_FALSE(janela->fimDaSessao(false));
    EXPECT_EQ(janela.pergunta.perguntas.size(), 1u);
    EXPECT_EQ(encerramentos, 0);

    janela.pergunta.resposta = true;
    EXPECT_FALSE(janela->fimDaSessao(true));
    EXPECT_EQ(janela.pergunta.perguntas,
              std::vector<std::string>(2, "Deseja encerrar o usa do Velmora ?"));
    EXPECT_EQ(encerramentos, 1);
    EXPECT_FALSE(bandejaNoEncerramento);
}

TEST_F(EstadosJanela, RegistroDeAtividadeApareceNoTxtLogMaisNovoPrimeiro) {
    inicia();
    janela->log("Arquivo /f/A.TXT impresso");
    janela.motor->registro().log("Arquivo /f/A.TXT excluido");
    EXPECT_EQ(janela.filho<QPlainTextEdit>("txtLog")->toPlainText(),
              "Arquivo /f/A.TXT excluido\nArquivo /f/A.TXT impresso\n");
}

TEST_F(EstadosJanela, FecharAJanelaVisivelFazAMesmaPergunta) {
    inicia();
    ASSERT_TRUE(janela->isVisible());
    janela.pergunta.resposta = false;
    EXPECT_FALSE(janela->close());
    EXPECT_TRUE(janela->isVisible());

    janela.pergunta.resposta = true;
    EXPECT_TRUE(janela->close());
    EXPECT_FALSE(janela->isVisible());
    EXPECT_EQ(encerramentos, 1);
    EXPECT_EQ(janela.pergunta.perguntas.size(), 2u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(sArquivoIni))) << "nothing saved at exit";
}

}  // namespace
}  // namespace velmora
