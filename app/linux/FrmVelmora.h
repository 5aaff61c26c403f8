#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/Aviso.h"
#include "app/MotorJanela.h"
#include "app/linux/ChaveTimerQt.h"
#include "app/linux/IconesRecurso.h"
#include "app/nucleo/AnimacaoIcone.h"
#include "app/nucleo/DecodificadorBandeja.h"
#include "app/nucleo/NotificacaoBandeja.h"
#include "spooler/Pergunta.h"

class QMenu;
class QSessionManager;
class QTimer;

namespace Ui {
class FrmVelmora;
}

namespace velmora {

// What the window is built with. The engine is made by the window, because it switches the
// window's own print timer.
struct DependenciasJanela {
    std::function<std::unique_ptr<MotorJanela>(ChaveTimer&)> criaMotor;
    Pergunta& perguntaEncerramento;  // "Deseja encerrar o usa do Velmora ?"
    Aviso& aviso;
    ShellBandeja& shell;
    const IconesRecurso& icones;
};

// The program's one window: configuration form, activity log, owner of the two timers, the
// engine and the tray entry. Its handlers only sequence the steps; the rules live in the core.
class FrmVelmora : public QWidget, private FonteRegistro, private AcoesBandeja {
    Q_OBJECT
  public:
    explicit FrmVelmora(const DependenciasJanela& dependencias);
    ~FrmVelmora() override;

    // Start: Form_Load fills the printer list, then Form_Initialize reads the settings and either
    // goes to the tray, printing, or shows the window and waits for a configuration.
    void Form_Load();
    void Form_Initialize(const std::string& sArquivoIni);
    void Form_Activate();
    void Form_Resize();
    // Asks before the program ends; true (the cancel flag) keeps it running.
    bool Form_QueryUnload();
    // The desktop session is ending: asks the same question when the session allows it; true
    // cancels the session's end.
    bool fimDaSessao(bool podePerguntar);

    void CmdConfirmar_Click();
    void timerImpressao_Timer();
    void timerIcone_Timer();
    void mnu_IconeBandeja_Configurar_Click();
    void mnu_IconeBandeja_Sair_Click();
    // A tray event, as the shell's mouse message number.
    void PictIconeBandeja_MouseMove(quint32 mensagem);

    void log(const std::string& txtMsg);
    void IconeBandeja(const std::int16_t& acao, const std::string& dica);

    MotorJanela& motor() { return *motor_; }
    const RegistroNotificacao& registroBandeja() const { return notificacao_.registro(); }
    // True once the window was taken off the task list (no taskbar entry).
    bool retiradaDaListaDeTarefas() const;

  signals:
    // The user confirmed the end: the tray entry is gone and the program may quit.
    void encerrado();

  protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

  private:
    // FonteRegistro
    std::uint32_t janelaPictIconeBandeja() const override;
    std::uint32_t iconeAtual() const override;
    // AcoesBandeja
    void mostraJanela() override;
    void mostraMenu() override;

    void preencheCampos();
    void centraliza();
    void vaiParaBandeja();
    void esperaConfiguracao();
    void encerra();
    void encerraSessao(QSessionManager& sessao);

    std::unique_ptr<Ui::FrmVelmora> ui_;
    Pergunta& perguntaEncerramento_;
    Aviso& aviso_;
    ShellBandeja& shell_;
    const IconesRecurso& icones_;

    QTimer* timerImpressao_;
    QTimer* timerIcone_;
    QMenu* mnu_IconeBandeja_;
    ChaveTimerQt chaveImpressao_;
    std::unique_ptr<MotorJanela> motor_;

    NotificacaoBandeja notificacao_;
    AnimacaoIcone animacao_;
    DecodificadorBandeja decodificador_;
    std::string nomeIconeAtual_ = "velmora";
    std::string quadroMostrado_;  // the blink frame in the picture box and window icon now
    bool encerrado_ = false;
    bool foraDaListaDeTarefas_ = false;
    bool jaMostrada_ = false;  // centred on its screen at the first show only
};

}  // namespace velmora
