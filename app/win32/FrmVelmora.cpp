#include "app/win32/FrmVelmora.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "app/nucleo/Confirmacao.h"
#include "app/nucleo/RegrasConfiguracao.h"
#include "app/nucleo/Textos.h"
#include "app/win32/BandejaWin32.h"
#include "app/win32/GeometriaJanela.h"
#include "app/win32/recursos/IdsFrmVelmora.h"
#include "platform/win32/SistemaArquivosWin32.h"
#include "platform/win32/TextoWin32.h"
#include "settings/Velmora_INI.h"
#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

constexpr UINT kIntervaloImpressaoMs = 3000;
constexpr UINT kIntervaloIconeMs = 1000;
constexpr UINT_PTR kSubclassePict = 1;

// Pictures and tips, in twips like the layout.
constexpr int kMargemFiguraBotao = 120;
constexpr int kLarguraDica = 6000;

// A file that cannot even be looked at counts as there: reading it then says why.
bool arquivoExiste(const std::string& caminho) {
    try {
        return SistemaArquivosWin32().existe(caminho);
    } catch (const ErroPlataforma&) {
        return true;
    }
}

// A string of the resources' table, empty when there is none under `id`.
std::wstring textoRecurso(HINSTANCE instancia, UINT id) {
    const wchar_t* texto = nullptr;
    const int tamanho = ::LoadStringW(instancia, id, reinterpret_cast<LPWSTR>(&texto), 0);
    return tamanho > 0 ? std::wstring(texto, static_cast<std::size_t>(tamanho)) : std::wstring();
}

HBITMAP carregaFigura(HINSTANCE instancia, const wchar_t* nome, int largura, int altura) {
    return static_cast<HBITMAP>(
        ::LoadImageW(instancia, nome, IMAGE_BITMAP, largura, altura, LR_CREATEDIBSECTION));
}

}  // namespace

FrmVelmora::FrmVelmora(HINSTANCE instancia, const DependenciasJanela& dependencias)
    : instancia_(instancia),
      perguntaEncerramento_(dependencias.perguntaEncerramento),
      aviso_(dependencias.aviso),
      shell_(dependencias.shell),
      aoEncerrar_(dependencias.aoEncerrar),
      timerImpressao_(kTimerImpressao, kIntervaloImpressaoMs),
      motor_(dependencias.criaMotor(timerImpressao_)),
      notificacao_(shell_, *this) {
    mensagemTaskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    dono_ = ::CreateWindowExW(0, L"Static", L"Velmora", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instancia_, nullptr);
    menu_ = ::LoadMenuW(instancia_, MAKEINTRESOURCEW(IDM_MNU_ICONEBANDEJA));
    janela_ = ::CreateDialogParamW(instancia_, MAKEINTRESOURCEW(IDD_FRMVELMORA), dono_,
                                   procedimento, reinterpret_cast<LPARAM>(this));
    if (janela_ == nullptr) {
        const DWORD erro = ::GetLastError();
        if (menu_ != nullptr) ::DestroyMenu(menu_);
        if (dono_ != nullptr) ::DestroyWindow(dono_);
        throw std::runtime_error("não foi possível criar a janela: " + mensagemWin32(erro));
    }
    motor_->registro().aoRegistrar = [this](const std::string&) {
        ::SetDlgItemTextW(janela_, IDC_TXTLOG, larga(motor_->registro().texto()).c_str());
    };
}

FrmVelmora::~FrmVelmora() {
    motor_->registro().aoRegistrar = nullptr;
    if (::IsWindow(janela_)) ::DestroyWindow(janela_);
    if (dono_ != nullptr) ::DestroyWindow(dono_);
    if (menu_ != nullptr) ::DestroyMenu(menu_);
    if (banner_ != nullptr) ::DeleteObject(banner_);
    if (confirmar_ != nullptr) ::DeleteObject(confirmar_);
}

INT_PTR CALLBACK FrmVelmora::procedimento(HWND janela, UINT mensagem, WPARAM w, LPARAM l) {
    if (mensagem == WM_INITDIALOG) {
        auto* frm = reinterpret_cast<FrmVelmora*>(l);
        ::SetWindowLongPtrW(janela, DWLP_USER, l);
        frm->janela_ = janela;
        frm->inicializa();
        return TRUE;
    }
    auto* frm = reinterpret_cast<FrmVelmora*>(::GetWindowLongPtrW(janela, DWLP_USER));
    return frm != nullptr ? frm->trata(mensagem, w) : FALSE;
}

LRESULT CALLBACK FrmVelmora::procedimentoPict(HWND janela, UINT mensagem, WPARAM w, LPARAM l,
                                              UINT_PTR id, DWORD_PTR dados) {
    // The tray's callback message: the mouse message number comes in the low word.
    if (mensagem == static_cast<UINT>(RegistroNotificacao::kMensagem)) {
        reinterpret_cast<FrmVelmora*>(dados)->PictIconeBandeja_MouseMove(LOWORD(l));
        return 0;
    }
    if (mensagem == WM_NCDESTROY) ::RemoveWindowSubclass(janela, procedimentoPict, id);
    return ::DefSubclassProc(janela, mensagem, w, l);
}

INT_PTR FrmVelmora::trata(UINT mensagem, WPARAM w) {
    switch (mensagem) {
        case WM_COMMAND:
            switch (LOWORD(w)) {
                case IDC_CMDCONFIRMAR:
                    if (HIWORD(w) == BN_CLICKED) CmdConfirmar_Click();
                    return TRUE;
                case IDM_MNU_ICONEBANDEJA_CONFIGURAR:
                    mnu_IconeBandeja_Configurar_Click();
                    return TRUE;
                case IDM_MNU_ICONEBANDEJA_SAIR:
                    mnu_IconeBandeja_Sair_Click();
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    // Enter and Esc in a field: the window is not a box that closes on them.
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_TIMER:
            if (w == kTimerIcone) timerIcone_Timer();
            if (w == kTimerImpressao) timerImpressao_Timer();
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(w) != WA_INACTIVE) Form_Activate();
            return FALSE;
        case WM_SIZE:
            if (w == SIZE_MINIMIZED) Form_Resize();
            return FALSE;
        case WM_CLOSE:
            // A second close while the question is open adds no second question.
            if (!encerrado_ && !perguntando_ && !Form_QueryUnload()) encerra();
            return TRUE;
        case WM_QUERYENDSESSION:
            ::SetWindowLongPtrW(janela_, DWLP_MSGRESULT, fimDaSessao() ? TRUE : FALSE);
            return TRUE;
        case WM_ENDSESSION:
            if (fimConfirmado_ && !encerrado_) encerra();
            return TRUE;
        default:
            break;
    }
    if (mensagemTaskbarCreated_ != 0 && mensagem == mensagemTaskbarCreated_) {
        // Explorer started again with an empty notification area.
        if (naBandeja_) IconeBandeja(0, notificacao_.registro().dicaVisivel());
        return TRUE;
    }
    return FALSE;
}

void FrmVelmora::inicializa() {
    timerImpressao_.defineJanela(janela_);
    const int dpi = dpiDaJanela(janela_);
    aplicaGeometria(janela_, dpi);

    RECT pict{};
    ::GetClientRect(controle(IDC_PICTICONEBANDEJA), &pict);
    icones_ = std::make_unique<IconesJanela>(instancia_, pict.right - pict.left);
    iconeAtual_ = icones_->iconeDaJanela();
    if (iconeAtual_ != nullptr) {
        ::SendMessageW(janela_, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(iconeAtual_->pequeno));
        ::SendMessageW(janela_, WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(iconeAtual_->grande));
    }
    carregaImagens(dpi);
    criaDicas(dpi);
    ::SetWindowSubclass(controle(IDC_PICTICONEBANDEJA), procedimentoPict, kSubclassePict,
                        reinterpret_cast<DWORD_PTR>(this));
    ::SetTimer(janela_, kTimerIcone, kIntervaloIconeMs, nullptr);
}

void FrmVelmora::carregaImagens(int dpi) {
    RECT caixa{};
    ::GetClientRect(controle(IDC_IMAGE), &caixa);
    banner_ = carregaFigura(instancia_, L"BANNER", caixa.right, caixa.bottom);
    // The static control takes the picture's size, which is the box's.
    if (banner_ != nullptr)
        ::SendDlgItemMessageW(janela_, IDC_IMAGE, STM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(banner_));
    ::SetWindowPos(controle(IDC_IMAGE), nullptr, 0, 0, caixa.right, caixa.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RECT botao{};
    ::GetClientRect(controle(IDC_CMDCONFIRMAR), &botao);
    const int lado = botao.right - pixels(kMargemFiguraBotao, dpi);
    confirmar_ = carregaFigura(instancia_, L"CONFIRMAR", lado, lado);
    if (confirmar_ != nullptr)
        ::SendDlgItemMessageW(janela_, IDC_CMDCONFIRMAR, BM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(confirmar_));
}

void FrmVelmora::criaDicas(int dpi) {
    dicas_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, janela_, nullptr, instancia_, nullptr);
    if (dicas_ == nullptr) return;
    // Long tips wrap instead of running across the screen.
    ::SendMessageW(dicas_, TTM_SETMAXTIPWIDTH, 0, pixels(kLarguraDica, dpi));
    // Every control whose id has a text in the resources' table shows it.
    for (HWND filho = ::GetWindow(janela_, GW_CHILD); filho != nullptr;
         filho = ::GetWindow(filho, GW_HWNDNEXT)) {
        std::wstring texto = textoRecurso(instancia_, static_cast<UINT>(::GetDlgCtrlID(filho)));
        if (texto.empty()) continue;
        HWND alvo = filho;
        // A drop-down combo box's field is a child window of its own: the mouse rests on it.
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof(combo);
        if (::GetComboBoxInfo(filho, &combo) && combo.hwndItem != nullptr) alvo = combo.hwndItem;
        TOOLINFOW ferramenta{};
        ferramenta.cbSize = TTTOOLINFOW_V2_SIZE;
        ferramenta.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ferramenta.hwnd = janela_;
        ferramenta.uId = reinterpret_cast<UINT_PTR>(alvo);
        ferramenta.lpszText = texto.data();
        ::SendMessageW(dicas_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ferramenta));
    }
}

void FrmVelmora::Form_Load() {
    HWND lista = controle(IDC_CBIMPRESSORAS);
    ::SendMessageW(lista, CB_RESETCONTENT, 0, 0);
    try {
        for (const InfoImpressora& impressora : motor_->impressoras()) {
            ::SendMessageW(lista, CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(larga(impressora.nome).c_str()));
        }
    } catch (const std::exception& erro) {
        // Without a printer list the name can still be typed; say why the list is short.
        log(erro.what());
    }
}

void FrmVelmora::Form_Initialize(const std::string& sArquivoIni) {
    timerImpressao_.desliga();
    Valores& valores = motor_->valores();
    valores.sArquivoIni = sArquivoIni;
    if (!arquivoExiste(sArquivoIni)) {
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
    timerImpressao_.liga();
}

void FrmVelmora::Form_Activate() { timerImpressao_.desliga(); }

void FrmVelmora::Form_Resize() {
    // Without the tray entry (no tray, or not configured yet) a hidden window could not be
    // brought back.
    if (::IsIconic(janela_) && naBandeja_ && shell_.disponivel()) ::ShowWindow(janela_, SW_HIDE);
}

bool FrmVelmora::Form_QueryUnload() {
    perguntando_ = true;
    const bool sim = perguntaEncerramento_.sim(textos::kPerguntaEncerrar);
    perguntando_ = false;
    if (!sim) return true;
    notificacao_.remove();
    naBandeja_ = false;
    return false;
}

void FrmVelmora::CmdConfirmar_Click() {
    Valores& valores = motor_->valores();
    const Periodo periodo = regraPeriodo(texto(IDC_TXTTEMPO));
    if (texto(IDC_TXTTEMPO) != periodo.texto) defineTexto(IDC_TXTTEMPO, periodo.texto);
    timerImpressao_.defineIntervalo(static_cast<UINT>(periodo.intervaloMs));

    valores.sImpressora = texto(IDC_CBIMPRESSORAS);
    valores.sBackup.assign(
        1, ::IsDlgButtonChecked(janela_, IDC_CHKGERARBACKUP) == BST_CHECKED ? '1' : '0');
    valores.sParalela.assign(
        1, ::IsDlgButtonChecked(janela_, IDC_CHKPARALELA) == BST_CHECKED ? '1' : '0');
    valores.sLocal = texto(IDC_TXTARQUIVOS);
    valores.sPorta = texto(IDC_TXTPORTA);

    const bool completa = confirmaConfiguracao(*motor_, aviso_, [this](const std::string& porta) {
        defineTexto(IDC_TXTPORTA, porta);
        return texto(IDC_TXTPORTA);
    });
    if (!completa) {
        timerImpressao_.liga();
        return;
    }
    preencheCampos();
    IconeBandeja(0, textos::kDicaInicial);
    vaiParaBandeja();
    timerImpressao_.liga();
}

void FrmVelmora::timerImpressao_Timer() {
    try {
        motor_->timerImpressao_Timer();
    } catch (const std::exception& erro) {
        // The cycle reports its own failures; anything else must not escape into the message
        // loop.
        log(erro.what());
    }
}

void FrmVelmora::timerIcone_Timer() {
    const QuadroIcone quadro = animacao_.tick();
    // Most ticks repeat the frame before: nothing to redraw then.
    if (quadro.icone != quadroMostrado_) {
        quadroMostrado_ = quadro.icone;
        // A missing icon skips its steps and the tick goes on.
        if (const IconesJanela::Tamanhos* icones = icones_->icone(quadro.icone)) {
            ::SendDlgItemMessageW(janela_, IDC_PICTICONEBANDEJA, STM_SETICON,
                                  reinterpret_cast<WPARAM>(icones->quadro), 0);
            ::SendMessageW(janela_, WM_SETICON, ICON_SMALL,
                           reinterpret_cast<LPARAM>(icones->pequeno));
            ::SendMessageW(janela_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icones->grande));
            iconeAtual_ = icones;
        }
    }
    ::SetTimer(janela_, kTimerIcone, static_cast<UINT>(quadro.intervaloMs), nullptr);
    IconeBandeja(1, quadro.dica);
}

void FrmVelmora::mnu_IconeBandeja_Configurar_Click() { mostraJanela(); }

void FrmVelmora::mnu_IconeBandeja_Sair_Click() { ::SendMessageW(janela_, WM_CLOSE, 0, 0); }

void FrmVelmora::PictIconeBandeja_MouseMove(std::uint32_t mensagem) {
    decodificador_.trataEvento(mensagem, *this);
}

void FrmVelmora::log(const std::string& txtMsg) { motor_->registro().log(txtMsg); }

void FrmVelmora::IconeBandeja(const std::int16_t& acao, const std::string& dica) {
    notificacao_.IconeBandeja(acao, dica);
    if (acao == 0) naBandeja_ = true;
}

bool FrmVelmora::retiradaDaListaDeTarefas() const {
    return (::GetWindowLongPtrW(janela_, GWL_EXSTYLE) & WS_EX_APPWINDOW) == 0;
}

std::uint32_t FrmVelmora::janelaPictIconeBandeja() const {
    return handle32(controle(IDC_PICTICONEBANDEJA));
}

std::uint32_t FrmVelmora::iconeAtual() const {
    return handle32(iconeAtual_ != nullptr ? iconeAtual_->pequeno : nullptr);
}

void FrmVelmora::mostraJanela() { mostra(); }

void FrmVelmora::mostraMenu() {
    POINT ponto{};
    ::GetCursorPos(&ponto);
    // The menu closes on a click elsewhere only when a window of ours is in the foreground. The
    // hidden owner takes it, not the window: its activation would stop printing.
    ::SetForegroundWindow(dono_);
    const UINT comando = static_cast<UINT>(::TrackPopupMenu(
        ::GetSubMenu(menu_, 0), TPM_RETURNCMD | TPM_NONOTIFY, ponto.x, ponto.y, 0, dono_, nullptr));
    ::PostMessageW(dono_, WM_NULL, 0, 0);
    // Handled after this tray event is over, like any other command.
    if (comando != 0) ::PostMessageW(janela_, WM_COMMAND, MAKEWPARAM(comando, 0), 0);
}

bool FrmVelmora::fimDaSessao() {
    if (encerrado_ || fimConfirmado_) return true;
    if (perguntando_ || Form_QueryUnload()) return false;
    fimConfirmado_ = true;
    return true;
}

void FrmVelmora::preencheCampos() {
    const Valores& valores = motor_->valores();
    defineTexto(IDC_CBIMPRESSORAS, valores.sImpressora);
    ::CheckDlgButton(janela_, IDC_CHKGERARBACKUP,
                     estadoMarcacao(valores.sBackup) == 1 ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(janela_, IDC_CHKPARALELA,
                     estadoMarcacao(valores.sParalela) == 1 ? BST_CHECKED : BST_UNCHECKED);
    defineTexto(IDC_TXTARQUIVOS, valores.sLocal);
    defineTexto(IDC_TXTPORTA, valores.sPorta);
}

void FrmVelmora::centraliza() {
    jaMostrada_ = true;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(janela_, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    RECT janela{};
    ::GetWindowRect(janela_, &janela);
    const RECT& area = monitor.rcWork;
    const int x = area.left + ((area.right - area.left) - (janela.right - janela.left)) / 2;
    const int y = area.top + ((area.bottom - area.top) - (janela.bottom - janela.top)) / 2;
    // On a screen too small for it, the title bar stays reachable.
    ::SetWindowPos(janela_, nullptr, std::max<int>(x, area.left), std::max<int>(y, area.top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmVelmora::mostra() {
    if (!jaMostrada_) centraliza();
    ::ShowWindow(janela_, SW_SHOWNORMAL);
    ::SetForegroundWindow(janela_);
}

void FrmVelmora::vaiParaBandeja() {
    if (!shell_.disponivel()) {
        // No tray to come back from: keep the window reachable on the taskbar.
        ::ShowWindow(janela_, SW_SHOWMINNOACTIVE);
        return;
    }
    ::ShowWindow(janela_, SW_HIDE);
    // Owned by a hidden window and without WS_EX_APPWINDOW it has no taskbar button; the style
    // may only change while the window is hidden.
    ::SetWindowLongPtrW(janela_, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(janela_, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
}

void FrmVelmora::esperaConfiguracao() {
    timerImpressao_.desliga();
    mostra();
}

void FrmVelmora::encerra() {
    encerrado_ = true;
    timerImpressao_.desliga();
    ::KillTimer(janela_, kTimerIcone);
    ::DestroyWindow(janela_);
    if (aoEncerrar_) aoEncerrar_();
}

std::string FrmVelmora::texto(int id) const {
    HWND campo = controle(id);
    std::wstring valor(static_cast<std::size_t>(::GetWindowTextLengthW(campo)) + 1, L'\0');
    valor.resize(static_cast<std::size_t>(
        ::GetWindowTextW(campo, valor.data(), static_cast<int>(valor.size()))));
    return utf8(valor);
}

void FrmVelmora::defineTexto(int id, const std::string& valor) {
    ::SetWindowTextW(controle(id), larga(valor).c_str());
}

}  // namespace velmora
