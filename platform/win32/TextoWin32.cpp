#include "platform/win32/TextoWin32.h"

#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

std::wstring paraLarga(std::string_view bytes, UINT codigo) {
    if (bytes.empty()) return {};
    const int n =
        ::MultiByteToWideChar(codigo, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring texto(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codigo, 0, bytes.data(), static_cast<int>(bytes.size()), texto.data(), n);
    return texto;
}

std::string deLarga(std::wstring_view texto, UINT codigo) {
    if (texto.empty()) return {};
    const int n = ::WideCharToMultiByte(codigo, 0, texto.data(), static_cast<int>(texto.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codigo, 0, texto.data(), static_cast<int>(texto.size()), bytes.data(), n,
                          nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring larga(std::string_view texto) { return paraLarga(texto, CP_UTF8); }

std::string utf8(std::wstring_view texto) { return deLarga(texto, CP_UTF8); }

std::string deCodigoPagina(std::string_view bytes, UINT codigo) {
    return utf8(paraLarga(bytes, codigo));
}

std::string paraCodigoPagina(std::string_view texto, UINT codigo) {
    return deLarga(larga(texto), codigo);
}

std::string mensagemWin32(DWORD codigo) {
    wchar_t* texto = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, codigo, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
    std::wstring mensagem = n > 0 ? std::wstring(texto, n) : std::wstring();
    ::LocalFree(texto);
    while (!mensagem.empty() && (mensagem.back() == L'\n' || mensagem.back() == L'\r' ||
                                 mensagem.back() == L' ' || mensagem.back() == L'.'))
        mensagem.pop_back();
    if (mensagem.empty()) return "erro " + std::to_string(codigo) + " do Windows";
    return utf8(mensagem);
}

void lancaErroWin32(DWORD codigo, const std::string& prefixo) {
    if (prefixo.empty()) throw ErroPlataforma(mensagemWin32(codigo));
    throw ErroPlataforma(prefixo + ": " + mensagemWin32(codigo));
}

}  // namespace velmora
