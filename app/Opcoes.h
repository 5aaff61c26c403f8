#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

// What the command line asked for. Without a mode option the tray application runs.
struct Opcoes {
    enum class Modo { Bandeja, Headless, UmaVez, Ajuda, Versao };

    Modo modo = Modo::Bandeja;
    std::string sArquivoIni;  // from --ini; empty: the default place
    int iSegundos = 3;        // print period of --headless
};

// Bad command line; what() is the message for stderr, without the program name.
struct ErroUso : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int kSegundosMinimo = 1;
constexpr int kSegundosMaximo = 60;

// The arguments after the program name. Throws ErroUso.
Opcoes leOpcoes(const std::vector<std::string>& argumentos);

// The --help text.
std::string textoAjuda();

}  // namespace velmora
