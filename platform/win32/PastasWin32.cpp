#include "platform/win32/PastasWin32.h"

#include <shlobj.h>

#include "platform/win32/TextoWin32.h"

namespace velmora {

namespace {

std::string pastaConhecida(REFKNOWNFOLDERID id) {
    wchar_t* caminho = nullptr;
    std::string pasta;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &caminho) == S_OK)
        pasta = utf8(caminho);
    ::CoTaskMemFree(caminho);
    return pasta;
}

}  // namespace

std::string pastaDoExecutavel() {
    std::wstring caminho(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, caminho.data(), static_cast<DWORD>(caminho.size()));
        if (n < caminho.size()) {
            caminho.resize(n);
            break;
        }
        caminho.resize(caminho.size() * 2);
    }
    return pastaDe(utf8(caminho));
}

std::string pastaAppData() { return pastaConhecida(FOLDERID_RoamingAppData); }
std::string pastaAppDataLocal() { return pastaConhecida(FOLDERID_LocalAppData); }
std::string pastaDocumentos() { return pastaConhecida(FOLDERID_Documents); }

bool pastaGravavel(const std::string& pasta) {
    const std::wstring teste =
        larga(pasta + "\\velmora-" + std::to_string(::GetCurrentProcessId()) + ".tmp");
    HANDLE h = ::CreateFileW(teste.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

bool criaPastas(const std::string& pasta) {
    std::wstring caminho = larga(pasta);
    for (wchar_t& c : caminho)
        if (c == L'/') c = L'\\';
    ::SHCreateDirectoryExW(nullptr, caminho.c_str(), nullptr);
    const DWORD atributos = ::GetFileAttributesW(caminho.c_str());
    return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY);
}

std::string pastaDe(const std::string& caminho) {
    const auto barra = caminho.find_last_of("\\/");
    if (barra == std::string::npos) return ".";
    if (barra == 0 || (barra == 2 && caminho[1] == ':')) return caminho.substr(0, barra + 1);
    return caminho.substr(0, barra);
}

}  // namespace velmora
