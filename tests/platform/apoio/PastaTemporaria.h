#pragma once

#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with all it holds at the end.
class PastaTemporaria {
  public:
    PastaTemporaria();
    ~PastaTemporaria();
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;

    // The folder with a trailing "/", ready to have a name appended.
    const std::string& caminho() const { return caminho_; }
    std::string operator/(std::string_view nome) const { return caminho_ + std::string(nome); }

  private:
    std::string caminho_;
};

// Writes `conteudo` to `caminho`, replacing what was there.
void gravaArquivo(const std::string& caminho, std::string_view conteudo);
// Whole content of `caminho`.
std::string leArquivo(const std::string& caminho);
// Every byte value from 0 to 255, then CR LF, form feed and ESC once more.
std::string todosOsBytes();
