#pragma once

#include <windows.h>

#include <string>

#include "app/Aviso.h"
#include "spooler/Pergunta.h"

namespace velmora {

// A modal Yes/No box with its title and icon (MB_ICONQUESTION, or 0 for none); Yes is the
// default button.
class PerguntaCaixa : public Pergunta {
  public:
    PerguntaCaixa(std::string titulo, UINT icone);
    bool sim(const std::string& mensagem) override;

  private:
    std::string titulo_;
    UINT icone_;
};

// A modal warning box titled with the application's name.
class AvisoCaixa : public Aviso {
  public:
    void mostra(const std::string& texto) override;
};

}  // namespace velmora
