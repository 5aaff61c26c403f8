// The core's tray record as the Windows shell receives it.

#include <gtest/gtest.h>

#include <string>

#include "app/win32/BandejaWin32.h"

namespace velmora {
namespace {

RegistroNotificacao registro(std::uint32_t janela, std::uint32_t icone, const std::string& dica) {
    RegistroNotificacao r;
    r.tamanho = RegistroNotificacao::kTamanho;
    r.janela = janela;
    r.id = RegistroNotificacao::kId;
    r.flags = RegistroNotificacao::kFlags;
    r.mensagem = RegistroNotificacao::kMensagem;
    r.icone = icone;
    r.defineDica(dica);
    return r;
}

TEST(BandejaWin32, RegistroViraONotifyIconDataDaPlataforma) {
    const NOTIFYICONDATAW dados =
        paraNotifyIconData(registro(0x10048, 0x2004F, "Velmora ativo... "));
    EXPECT_EQ(dados.cbSize, 168u) << "the 64-bit build's first wide layout";
    EXPECT_EQ(dados.hWnd, reinterpret_cast<HWND>(0x10048));
    EXPECT_EQ(dados.hIcon, reinterpret_cast<HICON>(0x2004F));
    EXPECT_EQ(dados.uID, 1u);
    EXPECT_EQ(dados.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(dados.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(std::wstring(dados.szTip), L"Velmora ativo... ");
}

TEST(BandejaWin32, HandlesComOBitAltoVoltamEstendidos) {
    // USER handles are sign-extended 32-bit values on 64-bit Windows.
    HWND janela = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-0x7FFEFFB8));
    const NOTIFYICONDATAW dados = paraNotifyIconData(registro(handle32(janela), 0, ""));
    EXPECT_EQ(dados.hWnd, janela);
    EXPECT_EQ(dados.szTip[0], L'\0');
}

TEST(BandejaWin32, DicaDe64CaracteresNaoPassaDoCampo) {
    const std::string longa(70, 'x');
    const NOTIFYICONDATAW dados = paraNotifyIconData(registro(1, 1, longa + "ção"));
    EXPECT_EQ(std::wstring(dados.szTip, 64), std::wstring(64, L'x'));
    EXPECT_EQ(dados.szTip[64], L'\0') << "the shell reads no more than the record's 64";

    const NOTIFYICONDATAW acentos = paraNotifyIconData(registro(1, 1, "Configuração"));
    EXPECT_EQ(std::wstring(acentos.szTip), L"Configura\u00e7\u00e3o");
}

}  // namespace
}  // namespace velmora
