#include "FrmVelmora.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "app/linux/ListaDeTarefas.h"
#include "app/nucleo/Confirmacao.h"
#include "app/nucleo/RegrasConfiguracao.h"
#include "app/nucleo/Textos.h"
#include "settings/Velmora_INI.h"
#include "ui_FrmVelmora.h"

namespace velmora {

namespace {

constexpr int kIntervaloImpressaoMs = 3000;
constexpr int kIntervaloIconeMs = 1000;
// Qt delivers tray events itself; the record only needs a stable number for its owner window.
constexpr std::uint32_t kJanelaPictIconeBandeja = 1;

QString qt(const std::string& texto) { return QString::fromStdString(texto); }
std::string utf8(const QString& texto) { return texto.toStdString(); }

}  // namespace

FrmVelmora::FrmVelmora(const DependenciasJanela& dependencias)
    : ui_(std::make_unique<Ui::FrmVelmora>()),
      perguntaEncerramento_(dependencias.perguntaEncerramento),
      aviso_(dependencias.aviso),
      shell_(dependencias.shell),
      icones_(dependencias.icones),
      timerImpressao_(new QTimer(this)),
      timerIcone_(new QTimer(this)),
      mnu_IconeBandeja_(new QMenu(QStringLiteral("mnu_IconeBandeja"), this)),
      chaveImpressao_(*timerImpressao_),
      motor_(dependencias.criaMotor(chaveImpressao_)),
      notificacao_(shell_, *this) {
    ui_->setupUi(this);
    setFixedSize(size());
    // The printer name is what the user typed: without a completer the combo box neither
    // completes a typed prefix nor, on leaving it, rewrites the text to an item's case.
    ui_->CbImpressoras->setCompleter(nullptr);
    // The same icon objects for the whole run (see IconesRecurso).
    const QIcon iconeJanela = icones_.icone(nomeIconeAtual_);
    if (!iconeJanela.isNull()) setWindowIcon(iconeJanela);

    timerImpressao_->setObjectName(QStringLiteral("timerImpressao"));
    timerImpressao_->setInterval(kIntervaloImpressaoMs);
    connect(timerImpressao_, &QTimer::timeout, this, &FrmVelmora::timerImpressao_Timer);

    timerIcone_->setObjectName(QStringLiteral("timerIcone"));
    timerIcone_->setInterval(kIntervaloIconeMs);
    // Coarse timers may fire 5 % early or late: the 100-ms frames must last 100 ms.
    timerIcone_->setTimerType(Qt::PreciseTimer);
    connect(timerIcone_, &QTimer::timeout, this, &FrmVelmora::timerIcone_Timer);
    timerIcone_->start();

    mnu_IconeBandeja_->setObjectName(QStringLiteral("mnu_IconeBandeja"));
    mnu_IconeBandeja_->addAction(ui_->mnu_IconeBandeja_Configurar);
    mnu_IconeBandeja_->addAction(ui_->mnu_IconeBandeja_Sair);
    connect(ui_->mnu_IconeBandeja_Configurar, &QAction::triggered, this,
            &FrmVelmora::mnu_IconeBandeja_Configurar_Click);
    connect(ui_->mnu_IconeBandeja_Sair, &QAction::triggered, this,
            &FrmVelmora::mnu_IconeBandeja_Sair_Click);
    connect(ui_->CmdConfirmar, &QPushButton::clicked, this, &FrmVelmora::CmdConfirmar_Click);

    motor_->registro().aoRegistrar = [this](const std::string&) {
        ui_->txtLog->setPlainText(qt(motor_->registro().texto()));
    };

    if (auto* aplicacao = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(aplicacao, &QGuiApplication::commitDataRequest, this, &FrmVelmora::encerraSessao,
                Qt::DirectConnection);
    }
}

FrmVelmora::~FrmVelmora() { motor_->registro().aoRegistrar = nullptr; }

void FrmVelmora::Form_Load() {
    ui_->CbImpressoras->clear();
    try {
        for (const InfoImpressora& impressora : motor_->impressoras()) {
            ui_->CbImpressoras->addItem(qt(impressora.nome));
        }
    } catch (const std::exception& erro) {
        // Without a printer list the name can still be typed; say why the list is short.
        log(erro.what());
    }
    // Adding items picks the first one; the name is start-up's to set.
    ui_->CbImpressoras->setCurrentIndex(-1);
}

void FrmVelmora::Form_Initialize(const std::string& sArquivoIni) {
    timerImpressao_->stop();
    Valores& valores = motor_->valores();
    valores.sArquivoIni = sArquivoIni;
    if (!QFileInfo(qt(sArquivoIni)).isFile()) {
        esperaConfiguracao();
        return;
    }
    try {
        if (!valores.sArquivoIni.empty()) LerIni(valores, valores.sArquivoIni);
    } catch (const ErroIni& erro) {
        // Ending here would leave the user nothing to correct it with.
        aviso_.mostra(erro.what());
        esperaConfiguracao();
        return;
    }
    preencheCampos();
    IconeBandeja(0, textos::kDicaInicial);
    vaiParaBandeja();
    timerImpressao_->start();
}

void FrmVelmora::Form_Activate() { timerImpressao_->stop(); }

void FrmVelmora::Form_Resize() {
    // Without a tray a hidden window could not be brought back.
    if (windowState().testFlag(Qt::WindowMinimized) && shell_.disponivel()) hide();
}

bool FrmVelmora::Form_QueryUnload() {
    if (!perguntaEncerramento_.sim(textos::kPerguntaEncerrar)) return true;
    notificacao_.remove();
    return false;
}

void FrmVelmora::CmdConfirmar_Click() {
    Valores& valores = motor_->valores();
    const Periodo periodo = regraPeriodo(utf8(ui_->txtTempo->text()));
    if (ui_->txtTempo->text() != qt(periodo.texto)) ui_->txtTempo->setText(qt(periodo.texto));
    timerImpressao_->setInterval(periodo.intervaloMs);

    valores.sImpressora = utf8(ui_->CbImpressoras->currentText());
    // assign(1, c): GCC 12 sees a false overlap in operator=(const char*) at -O2 (-Wrestrict).
    valores.sBackup.assign(1, ui_->ChkGerarbackUp->isChecked() ? '1' : '0');
    valores.sParalela.assign(1, ui_->chkParalela->isChecked() ? '1' : '0');
    valores.sLocal = utf8(ui_->TxtArquivos->text());
    valores.sPorta = utf8(ui_->txtPorta->text());

    const bool completa = confirmaConfiguracao(*motor_, aviso_, [this](const std::string& porta) {
        ui_->txtPorta->setText(qt(porta));
        return utf8(ui_->txtPorta->text());
    });
    if (!completa) {
        timerImpressao_->start();
        return;
    }
    preencheCampos();
    IconeBandeja(0, textos::kDicaInicial);
    vaiParaBandeja();
    timerImpressao_->start();
}

void FrmVelmora::timerImpressao_Timer() {
    try {
        motor_->timerImpressao_Timer();
    } catch (const std::exception& erro) {
        // The cycle reports its own failures; anything else must not escape into Qt's loop.
        log(erro.what());
    }
}

void FrmVelmora::timerIcone_Timer() {
    const QuadroIcone quadro = animacao_.tick();
    // Most ticks repeat the frame before; redrawing it, and sending the window icon to the X
    // server again, is what the idle program would spend its time on.
    if (quadro.icone != quadroMostrado_) {
        quadroMostrado_ = quadro.icone;
        // A missing picture skips its step and the tick goes on.
        const QPixmap pixmap = icones_.quadro(quadro.icone);
        if (!pixmap.isNull()) ui_->PictIconeBandeja->setPixmap(pixmap);
        const QIcon icone = icones_.icone(quadro.icone);
        if (!icone.isNull()) {
            setWindowIcon(icone);
            nomeIconeAtual_ = quadro.icone;
        }
    }
    timerIcone_->setInterval(quadro.intervaloMs);
    IconeBandeja(1, quadro.dica);
}

void FrmVelmora::mnu_IconeBandeja_Configurar_Click() { mostraJanela(); }

void FrmVelmora::mnu_IconeBandeja_Sair_Click() { close(); }

void FrmVelmora::PictIconeBandeja_MouseMove(quint32 mensagem) {
    decodificador_.trataEvento(mensagem, *this);
}

void FrmVelmora::log(const std::string& txtMsg) { motor_->registro().log(txtMsg); }

void FrmVelmora::IconeBandeja(const std::int16_t& acao, const std::string& dica) {
    notificacao_.IconeBandeja(acao, dica);
}

bool FrmVelmora::retiradaDaListaDeTarefas() const { return foraDaListaDeTarefas_; }

bool FrmVelmora::event(QEvent* evento) {
    if (evento->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(evento);
}

void FrmVelmora::showEvent(QShowEvent* evento) {
    // Here the native window exists but is not mapped yet: position and state go with the map.
    if (!evento->spontaneous()) {
        if (!jaMostrada_) centraliza();
        if (foraDaListaDeTarefas_) retiraDaListaDeTarefas(*this);
    }
    QWidget::showEvent(evento);
}

void FrmVelmora::changeEvent(QEvent* evento) {
    QWidget::changeEvent(evento);
    if (evento->type() == QEvent::WindowStateChange) Form_Resize();
}

void FrmVelmora::closeEvent(QCloseEvent* evento) {
    if (encerrado_) {
        evento->accept();
        return;
    }
    if (Form_QueryUnload()) {
        evento->ignore();
        return;
    }
    evento->accept();
    encerra();
}

std::uint32_t FrmVelmora::janelaPictIconeBandeja() const { return kJanelaPictIconeBandeja; }

std::uint32_t FrmVelmora::iconeAtual() const { return icones_.handle(nomeIconeAtual_); }

void FrmVelmora::mostraJanela() {
    // A window hidden while minimised is mapped again by the state change itself, before any
    // show event: the window manager must find it off the taskbar already then.
    if (foraDaListaDeTarefas_ && isHidden()) retiraDaListaDeTarefas(*this);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void FrmVelmora::mostraMenu() { mnu_IconeBandeja_->exec(QCursor::pos()); }

void FrmVelmora::preencheCampos() {
    const Valores& valores = motor_->valores();
    ui_->CbImpressoras->setCurrentText(qt(valores.sImpressora));
    ui_->ChkGerarbackUp->setChecked(estadoMarcacao(valores.sBackup) == 1);
    ui_->chkParalela->setChecked(estadoMarcacao(valores.sParalela) == 1);
    ui_->TxtArquivos->setText(qt(valores.sLocal));
    ui_->txtPorta->setText(qt(valores.sPorta));
}

void FrmVelmora::centraliza() {
    jaMostrada_ = true;
    const QScreen* tela = screen();
    if (!tela) return;
    const QRect area = tela->availableGeometry();
    const QRect centro =
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(), area);
    // On a screen too small for it, the title bar stays reachable.
    move(std::max(centro.left(), area.left()), std::max(centro.top(), area.top()));
}

void FrmVelmora::vaiParaBandeja() {
    if (!shell_.disponivel()) {
        // No tray to come back from: keep the window reachable on the taskbar.
        showMinimized();
        return;
    }
    hide();
    // A state of the native window, not Qt::Tool: changing the window's type at run time makes
    // the style sheet reset every child's font, and Qt::Tool alone leaves it on the taskbar.
    foraDaListaDeTarefas_ = true;
}

void FrmVelmora::esperaConfiguracao() {
    timerImpressao_->stop();
    show();
}

void FrmVelmora::encerra() {
    encerrado_ = true;
    timerImpressao_->stop();
    timerIcone_->stop();
    emit encerrado();
}

bool FrmVelmora::fimDaSessao(bool podePerguntar) {
    // Without leave to interact nothing can be asked; the session ends us or not on its own.
    if (encerrado_ || !podePerguntar) return false;
    if (Form_QueryUnload()) return true;
    encerra();
    return false;
}

void FrmVelmora::encerraSessao(QSessionManager& sessao) {
    const bool podePerguntar = !encerrado_ && sessao.allowsInteraction();
    const bool cancela = fimDaSessao(podePerguntar);
    if (podePerguntar) sessao.release();
    if (cancela) sessao.cancel();
}

}  // namespace velmora
