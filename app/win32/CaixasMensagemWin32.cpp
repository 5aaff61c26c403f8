#include "app/win32/CaixasMensagemWin32.h"

#include "app/nucleo/Textos.h"
#include "platform/win32/TextoWin32.h"

namespace velmora {

int CaixaMensagem::mostraCaixa(const std::string& texto, const std::string& titulo,
                               UINT estilo) const {
    // Brought to the front either way: the program usually works unseen.
    const bool visivel = janela_ != nullptr && ::IsWindowVisible(janela_);
    return ::MessageBoxW(visivel ? janela_ : nullptr, larga(texto).c_str(), larga(titulo).c_str(),
                         estilo | MB_SETFOREGROUND | (visivel ? MB_APPLMODAL : MB_TASKMODAL));
}

PerguntaCaixa::PerguntaCaixa(std::string titulo, UINT icone)
    : titulo_(std::move(titulo)), icone_(icone) {}

bool PerguntaCaixa::sim(const std::string& mensagem) {
    return mostraCaixa(mensagem, titulo_, MB_YESNO | MB_DEFBUTTON1 | icone_) == IDYES;
}

void AvisoCaixa::mostra(const std::string& texto) {
    mostraCaixa(texto, textos::kTituloAplicacao, MB_OK | MB_ICONWARNING);
}

}  // namespace velmora
