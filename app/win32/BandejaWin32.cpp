#include "app/win32/BandejaWin32.h"

namespace velmora {

std::uint32_t handle32(const void* handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// Window and icon handles are USER handles: 64-bit Windows keeps them within 32 significant bits,
// sign-extended, so that 32-bit processes can share them. The record's 32-bit fields carry them
// whole; coming back they are sign-extended again.
HWND janelaDe(std::uint32_t valor) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(valor)));
}

HICON iconeDe(std::uint32_t valor) {
    return reinterpret_cast<HICON>(static_cast<std::intptr_t>(static_cast<std::int32_t>(valor)));
}

NOTIFYICONDATAW paraNotifyIconData(const RegistroNotificacao& registro) {
    NOTIFYICONDATAW dados{};
    // The record's own size is that of the 32-bit ANSI layout; the shell checks for its own.
    dados.cbSize = NOTIFYICONDATAW_V1_SIZE;
    dados.hWnd = janelaDe(registro.janela);
    dados.uID = registro.id;
    dados.uFlags = registro.flags;
    dados.uCallbackMessage = registro.mensagem;
    dados.hIcon = iconeDe(registro.icone);
    // Character for character, so the field keeps the record's 64 places: with or without its
    // NUL, the shell reads no further than the field.
    static_assert(sizeof(dados.szTip) / sizeof(dados.szTip[0]) >=
                  RegistroNotificacao::kCaracteresDica);
    for (std::size_t i = 0; i < RegistroNotificacao::kCaracteresDica; ++i) {
        const char32_t c = registro.dica[i];
        dados.szTip[i] =
            c <= 0xFFFF && (c < 0xD800 || c > 0xDFFF) ? static_cast<wchar_t>(c) : L'\xFFFD';
    }
    return dados;
}

bool BandejaWin32::disponivel() const {
    return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

void BandejaWin32::notifica(OperacaoBandeja operacao, const RegistroNotificacao& registro) {
    NOTIFYICONDATAW dados = paraNotifyIconData(registro);
    switch (operacao) {
        case OperacaoBandeja::adiciona:
            ::Shell_NotifyIconW(NIM_ADD, &dados);
            return;
        case OperacaoBandeja::modifica:
            ::Shell_NotifyIconW(NIM_MODIFY, &dados);
            return;
        case OperacaoBandeja::remove:
            ::Shell_NotifyIconW(NIM_DELETE, &dados);
            return;
    }
}

}  // namespace velmora
