#pragma once

#include <QMessageBox>
#include <QString>

#include "app/Aviso.h"
#include "spooler/Pergunta.h"

namespace velmora {

// A modal Yes/No box with its title and icon; Yes is the default button.
class PerguntaCaixa : public Pergunta {
  public:
    PerguntaCaixa(QString titulo, QMessageBox::Icon icone);
    bool sim(const std::string& mensagem) override;

  private:
    QString titulo_;
    QMessageBox::Icon icone_;
};

// A modal warning box titled with the application's name.
class AvisoCaixa : public Aviso {
  public:
    void mostra(const std::string& texto) override;
};

}  // namespace velmora
