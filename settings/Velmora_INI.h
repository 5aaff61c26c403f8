#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Configuracao.h"

namespace velmora {

// A settings file that cannot be created, opened, read or written. what() names the file and the
// reason, ready to be shown to a person.
class ErroIni : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Paths and values are UTF-8, as everywhere in the core.

// The UTF-8 mark a file may start with: such a file is read as UTF-8 whatever the code page.
inline constexpr std::string_view kMarcaUtf8 = "\xEF\xBB\xBF";

// How the file's bytes stand for that UTF-8: unchanged where none is set (Linux); on Windows the
// file is in the system's 8-bit code page and the program sets the conversions once at start-up.
struct CodificacaoIni {
    std::function<std::string(std::string_view)> paraUtf8;
    std::function<std::string(std::string_view)> deUtf8;
};
void defineCodificacaoIni(CodificacaoIni codificacao);

// Loads the file at `caminho` into the five settings. A missing file (or an empty path) is first
// written from the current values at cfg.sArquivoIni. Keys absent from the file keep their value.
// Throws ErroIni.
void LerIni(Configuracao& cfg, const std::string& caminho);

// Creates or replaces the file at `caminho` with the five "KEY = value" lines. Throws ErroIni.
void GravarIni(const Configuracao& cfg, const std::string& caminho);

// Key and value of one settings line: the text left / right of the first "=", spaces trimmed;
// empty when the line holds no "=".
std::string ChaveIni(const std::string& linha);
std::string ValorIni(const std::string& linha);

}  // namespace velmora
