#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora {

// The core's texts are UTF-8; the Win32 API (W functions only) takes UTF-16.
std::wstring larga(std::string_view utf8);
std::string utf8(std::wstring_view texto);

// Bytes in code page `codigo` (CP_ACP, 850, ...) to UTF-8 and back; what does not map becomes
// the code page's default character.
std::string deCodigoPagina(std::string_view bytes, UINT codigo);
std::string paraCodigoPagina(std::string_view utf8, UINT codigo);

// The system's message for a Win32 error code, in UTF-8, without the trailing line break.
std::string mensagemWin32(DWORD codigo);

// Throws ErroPlataforma with "prefixo: message" (or the message alone).
[[noreturn]] void lancaErroWin32(DWORD codigo, const std::string& prefixo = {});

// A handle closed when it goes out of scope.
class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() {
        if (valido()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valido() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

}  // namespace velmora
