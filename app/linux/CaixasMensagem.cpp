#include "CaixasMensagem.h"

#include "app/nucleo/Textos.h"

namespace velmora {

PerguntaCaixa::PerguntaCaixa(QString titulo, QMessageBox::Icon icone)
    : titulo_(std::move(titulo)), icone_(icone) {}

bool PerguntaCaixa::sim(const std::string& mensagem) {
    QMessageBox caixa(icone_, titulo_, QString::fromStdString(mensagem),
                      QMessageBox::Yes | QMessageBox::No);
    caixa.setDefaultButton(QMessageBox::Yes);
    return caixa.exec() == QMessageBox::Yes;
}

void AvisoCaixa::mostra(const std::string& texto) {
    QMessageBox caixa(QMessageBox::Warning, QString::fromUtf8(textos::kTituloAplicacao),
                      QString::fromStdString(texto), QMessageBox::Ok);
    caixa.exec();
}

}  // namespace velmora
