#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/Aviso.h"
#include "app/MotorJanela.h"
#include "app/nucleo/AnimacaoIcone.h"
#include "app/nucleo/DecodificadorBandeja.h"
#include "app/nucleo/NotificacaoBandeja.h"
#include "app/win32/ChaveTimerWin32.h"
#include "app/win32/IconesJanela.h"
#include "spooler/Pergunta.h"

namespace velmora {

// What the window is built with. The engine is made by the window, because it switches the
// window's own print timer.
struct DependenciasJanela {
    std::function<std::unique_ptr<MotorJanela>(ChaveTimer&)> criaMotor;
    Pergunta& perguntaEncerramento;  // "Deseja encerrar o usa do Velmora ?"
    Aviso& aviso;
    ShellBandeja& shell;
    std::function<void()> aoEncerrar;  // the user confirmed the end; the window is gone
};

// The program's one window, a dialog of the program's resources: configuration form, activity
// log, owner of the two timers, the engine and the tray entry. Its handlers only sequence the
// steps; the rules live in the core.
class FrmVelmora : private FonteRegistro, private AcoesBandeja {
  public:
    static constexpr UINT_PTR kTimerIcone = 1;
    static constexpr UINT_PTR kTimerImpressao = 2;

    FrmVelmora(HINSTANCE instancia, const DependenciasJanela& dependencias);
    ~FrmVelmora() override;
    FrmVelmora(const FrmVelmora&) = delete;
    FrmVelmora& operator=(const FrmVelmora&) = delete;

    HWND hwnd() const { return janela_; }

    // Start: Form_Load fills the printer list, then Form_Initialize reads the settings and either
    // goes to the tray, printing, or shows the window and waits for a configuration.
    void Form_Load();
    void Form_Initialize(const std::string& sArquivoIni);
    void Form_Activate();
    void Form_Resize();
    // Asks before the program ends; true (the cancel flag) keeps it running.
    bool Form_QueryUnload();

    void CmdConfirmar_Click();
    void timerImpressao_Timer();
    void timerIcone_Timer();
    void mnu_IconeBandeja_Configurar_Click();
    void mnu_IconeBandeja_Sair_Click();
    // A tray event, as the shell's mouse message number.
    void PictIconeBandeja_MouseMove(std::uint32_t mensagem);

    void log(const std::string& txtMsg);
    void IconeBandeja(const std::int16_t& acao, const std::string& dica);

    MotorJanela& motor() { return *motor_; }
    const ChaveTimerWin32& timerImpressao() const { return timerImpressao_; }
    const RegistroNotificacao& registroBandeja() const { return notificacao_.registro(); }
    // True once the window was taken off the taskbar.
    bool retiradaDaListaDeTarefas() const;
    // The tool tips' window.
    HWND dicas() const { return dicas_; }

  private:
    static INT_PTR CALLBACK procedimento(HWND janela, UINT mensagem, WPARAM w, LPARAM l);
    static LRESULT CALLBACK procedimentoPict(HWND janela, UINT mensagem, WPARAM w, LPARAM l,
                                             UINT_PTR id, DWORD_PTR dados);
    INT_PTR trata(UINT mensagem, WPARAM w);

    // FonteRegistro
    std::uint32_t janelaPictIconeBandeja() const override;
    std::uint32_t iconeAtual() const override;
    // AcoesBandeja
    void mostraJanela() override;
    void mostraMenu() override;

    void inicializa();
    void criaDicas(int dpi);
    void carregaImagens(int dpi);
    bool fimDaSessao();
    void preencheCampos();
    void centraliza();
    void mostra();
    void vaiParaBandeja();
    void esperaConfiguracao();
    void encerra();

    HWND controle(int id) const { return ::GetDlgItem(janela_, id); }
    std::string texto(int id) const;
    void defineTexto(int id, const std::string& valor);

    HINSTANCE instancia_;
    Pergunta& perguntaEncerramento_;
    Aviso& aviso_;
    ShellBandeja& shell_;
    std::function<void()> aoEncerrar_;

    // Hidden, never shown: owns the window, so that without WS_EX_APPWINDOW the window has no
    // taskbar button, and takes the foreground while the tray menu is open.
    HWND dono_ = nullptr;
    HWND janela_ = nullptr;
    HWND dicas_ = nullptr;
    HMENU menu_ = nullptr;
    HBITMAP banner_ = nullptr;
    HBITMAP confirmar_ = nullptr;
    UINT mensagemTaskbarCreated_ = 0;

    ChaveTimerWin32 timerImpressao_;
    std::unique_ptr<MotorJanela> motor_;
    std::unique_ptr<IconesJanela> icones_;
    const IconesJanela::Tamanhos* iconeAtual_ = nullptr;

    NotificacaoBandeja notificacao_;
    AnimacaoIcone animacao_;
    DecodificadorBandeja decodificador_;
    std::string quadroMostrado_;
    bool naBandeja_ = false;  // added and not removed: added again when Explorer restarts
    bool encerrado_ = false;
    bool perguntando_ = false;    // the end question is open
    bool fimConfirmado_ = false;  // the session ends and the user agreed
    bool jaMostrada_ = false;
};

}  // namespace velmora
