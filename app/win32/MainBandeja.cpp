// velmora.exe: the tray application. No console and no command line: the window and the tray
// are the program's only face.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

#include "app/CaminhoIni.h"
#include "app/MotorDaJanela.h"
#include "app/nucleo/Textos.h"
#include "app/win32/BandejaWin32.h"
#include "app/win32/CaixasMensagemWin32.h"
#include "app/win32/CodificacaoIniWin32.h"
#include "app/win32/FrmVelmora.h"

using namespace velmora;

int WINAPI wWinMain(HINSTANCE instancia, HINSTANCE, PWSTR, int) {
    defineCodificacaoIniWin32();
    INITCOMMONCONTROLSEX controles{sizeof(controles), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controles);

    const std::string sArquivoIni = caminhoIniPadrao();
    // The first configuration is saved there; the window reports it if this fails.
    preparaPastaIni(sArquivoIni);

    BandejaWin32 bandeja;
    PerguntaCaixa perguntaLeitor(textos::kTituloAplicacao, 0);
    PerguntaCaixa perguntaEncerramento(textos::kTituloEncerramento, MB_ICONQUESTION);
    AvisoCaixa aviso;
    try {
        FrmVelmora janela(instancia,
                          {[&](ChaveTimer& timer) {
                               return std::make_unique<MotorDaJanela>(perguntaLeitor, timer);
                           },
                           perguntaEncerramento, aviso, bandeja, [] { ::PostQuitMessage(0); }});
        perguntaLeitor.defineJanela(janela.hwnd());
        perguntaEncerramento.defineJanela(janela.hwnd());
        aviso.defineJanela(janela.hwnd());
        janela.Form_Load();
        janela.Form_Initialize(sArquivoIni);

        MSG mensagem{};
        while (::GetMessageW(&mensagem, nullptr, 0, 0) > 0) {
            // Tab, the arrow keys and the check boxes' space bar.
            if (::IsWindow(janela.hwnd()) && ::IsDialogMessageW(janela.hwnd(), &mensagem)) continue;
            ::TranslateMessage(&mensagem);
            ::DispatchMessageW(&mensagem);
        }
        return static_cast<int>(mensagem.wParam);
    } catch (const std::exception& erro) {
        aviso.mostra(erro.what());
        return 1;
    }
}
