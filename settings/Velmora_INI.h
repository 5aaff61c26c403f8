#pragma once

#include <stdexcept>
#include <string>

#include "Configuracao.h"

namespace velmora {

// A settings file that cannot be created, opened, read or written. what() names the file and the
// reason, ready to be shown to a person.
class ErroIni : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

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
