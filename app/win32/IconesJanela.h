#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace velmora {

// The icons of the program's resources, loaded by name once, at the three sizes the window shows
// them: the picture box, the window's small and large icon (the small one also goes to the tray).
class IconesJanela {
  public:
    struct Tamanhos {
        HICON quadro = nullptr;
        HICON pequeno = nullptr;
        HICON grande = nullptr;
    };

    IconesJanela(HINSTANCE instancia, int ladoQuadro);
    ~IconesJanela();
    IconesJanela(const IconesJanela&) = delete;
    IconesJanela& operator=(const IconesJanela&) = delete;

    // Null when the resource is missing.
    const Tamanhos* icone(const std::string& nome);

    // The window's icon before the first blink: the application icon (resource 1) where the
    // program carries one, else the open eye.
    const Tamanhos* iconeDaJanela();

  private:
    Tamanhos carrega(const wchar_t* nome) const;

    HINSTANCE instancia_;
    int ladoQuadro_;
    std::map<std::string, Tamanhos> carregados_;
};

}  // namespace velmora
