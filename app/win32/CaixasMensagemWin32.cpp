#include "app/win32/CaixasMensagemWin32.h"

#include "app/nucleo/Textos.h"
#include "platform/win32/TextoWin32.h"

namespace velmora {

namespace {

// Modal to all of the program's windows but owned by none: closing a box owned by the hidden
// window would activate it, and every activation stops printing. Brought to the front, since the
// program usually works unseen.
constexpr UINT kModal = MB_TASKMODAL | MB_SETFOREGROUND;

}  // namespace

PerguntaCaixa::PerguntaCaixa(std::string titulo, UINT icone)
    : titulo_(std::move(titulo)), icone_(icone) {}

bool PerguntaCaixa::sim(const std::string& mensagem) {
    return ::MessageBoxW(nullptr, larga(mensagem).c_str(), larga(titulo_).c_str(),
                         MB_YESNO | MB_DEFBUTTON1 | icone_ | kModal) == IDYES;
}

void AvisoCaixa::mostra(const std::string& texto) {
    ::MessageBoxW(nullptr, larga(texto).c_str(), larga(textos::kTituloAplicacao).c_str(),
                  MB_OK | MB_ICONWARNING | kModal);
}

}  // namespace velmora
