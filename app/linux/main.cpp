#include <signal.h>

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/CaminhoIni.h"
#include "app/Opcoes.h"
#include "app/linux/ExecucaoHeadless.h"
#include "app/linux/ModoBandeja.h"

using namespace velmora;

namespace {

std::string arquivoIni(const Opcoes& opcoes) {
    return opcoes.sArquivoIni.empty() ? caminhoIniPadrao() : opcoes.sArquivoIni;
}

bool temTela() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A Wayland client can neither keep its window off the taskbar nor place it on the screen; an X11
// window under the compositor's XWayland can do both, so the tray application takes that road
// when it is there and nobody chose a platform.
void preferirXWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

}  // namespace

int main(int argc, char** argv) {
    // Raw output onto a FIFO or socket whose reader went away must fail that job, not end us.
    signal(SIGPIPE, SIG_IGN);

    Opcoes opcoes;
    try {
        opcoes = leOpcoes(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ErroUso& e) {
        std::cerr << "velmora: " << e.what() << "\nUse \"velmora --help\" para ver as opções.\n";
        return 2;
    }

    // Qt sees only the program name: every argument was ours and has been read.
    int argcQt = 1;
    switch (opcoes.modo) {
        case Opcoes::Modo::Ajuda:
            std::cout << textoAjuda();
            return 0;
        case Opcoes::Modo::Versao:
            std::cout << "velmora " << VELMORA_VERSION << "\n";
            return 0;
        case Opcoes::Modo::Headless:
        case Opcoes::Modo::UmaVez: {
            // Printing renders through QPainter, which needs a GUI application but no screen.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argcQt, argv);
            return executaHeadless(app, arquivoIni(opcoes), opcoes.modo == Opcoes::Modo::UmaVez,
                                   opcoes.iSegundos);
        }
        case Opcoes::Modo::Bandeja:
            break;
    }

    // Qt would abort with a terse message; say what to do instead.
    if (!temTela()) {
        std::cerr << "velmora: nenhuma tela gráfica (DISPLAY não definido); para rodar sem "
                     "janela use --headless ou --once\n";
        return 2;
    }
    preferirXWayland();
    QApplication app(argcQt, argv);
    const std::string sArquivoIni = arquivoIni(opcoes);
    // The first configuration is saved there; the window reports it if this fails.
    if (opcoes.sArquivoIni.empty()) preparaPastaIni(sArquivoIni);
    return executaModoBandeja(app, sArquivoIni);
}
