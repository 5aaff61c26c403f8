#pragma once

#include <windows.h>

#include <string>

#include "app/Aviso.h"
#include "spooler/Pergunta.h"

namespace velmora {

// Message boxes owned by the program's window while it is on the screen; while it is hidden,
// modal to the program's windows but owned by none, since closing a box activates its owner and
// every activation of the window stops printing.
class CaixaMensagem {
  public:
    void defineJanela(HWND janela) { janela_ = janela; }

  protected:
    int mostraCaixa(const std::string& texto, const std::string& titulo, UINT estilo) const;

  private:
    HWND janela_ = nullptr;
};

// A modal Yes/No box with its title and icon (MB_ICONQUESTION, or 0 for none); Yes is the
// default button.
class PerguntaCaixa : public Pergunta, public CaixaMensagem {
  public:
    PerguntaCaixa(std::string titulo, UINT icone);
    bool sim(const std::string& mensagem) override;

  private:
    std::string titulo_;
    UINT icone_;
};

// A modal warning box titled with the application's name.
class AvisoCaixa : public Aviso, public CaixaMensagem {
  public:
    void mostra(const std::string& texto) override;
};

}  // namespace velmora
