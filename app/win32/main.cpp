#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CaminhoIni.h"
#include "app/Opcoes.h"
#include "app/win32/CodificacaoIniWin32.h"
#include "app/win32/ExecucaoConsole.h"
#include "platform/win32/TextoWin32.h"

using namespace velmora;

namespace {

// The arguments in UTF-8: the ANSI argv would lose what the code page cannot hold.
std::vector<std::string> argumentos() {
    int quantos = 0;
    wchar_t** lista = ::CommandLineToArgvW(::GetCommandLineW(), &quantos);
    std::vector<std::string> texto;
    for (int i = 1; i < quantos; ++i) texto.push_back(utf8(lista[i]));
    ::LocalFree(lista);
    return texto;
}

void escreve(std::FILE* saida, const std::string& texto) {
    std::fwrite(texto.data(), 1, texto.size(), saida);
}

}  // namespace

int main() {
    // The log is UTF-8; a console shows it right only when told so.
    ::SetConsoleOutputCP(CP_UTF8);
    defineCodificacaoIniWin32();

    Opcoes opcoes;
    try {
        opcoes = leOpcoes(argumentos());
    } catch (const ErroUso& e) {
        escreve(stderr, std::string("velmora: ") + e.what() +
                            "\nUse \"velmora --help\" para ver as opções.\n");
        return 2;
    }
    const std::string sArquivoIni =
        opcoes.sArquivoIni.empty() ? caminhoIniPadrao() : opcoes.sArquivoIni;
    switch (opcoes.modo) {
        case Opcoes::Modo::Ajuda:
            escreve(stdout, textoAjuda());
            return 0;
        case Opcoes::Modo::Versao:
            escreve(stdout, "velmora " VELMORA_VERSION "\n");
            return 0;
        case Opcoes::Modo::Headless:
        case Opcoes::Modo::UmaVez:
            return executaConsole(sArquivoIni, opcoes.modo == Opcoes::Modo::UmaVez,
                                  opcoes.iSegundos);
        case Opcoes::Modo::Bandeja:
            break;
    }
    escreve(stderr,
            "velmora: este programa roda só no console; use --once ou --headless (a bandeja é o "
            "programa velmora.exe)\n");
    return 2;
}
