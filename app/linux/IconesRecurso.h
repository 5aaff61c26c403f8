#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstdint>
#include <map>
#include <string>

namespace velmora {

// The program's icons, each loaded once from the resources and looked up by name (ATIVOABERTO,
// ATIVOMEIOABERTO, ATIVOFECHADO, ERRO, velmora). Some tray hosts leak when an icon is created
// anew on every tick, so the same objects are handed out for the whole run. A missing picture
// gives a null icon, never a failure.
class IconesRecurso {
  public:
    static constexpr int kLadoQuadro = 32;  // the picture box shows the frame at this size

    IconesRecurso();

    QIcon icone(const std::string& nome) const;
    QPixmap quadro(const std::string& nome) const;

    // A small number that stands for the icon in the tray record; 0 for an unknown name.
    std::uint32_t handle(const std::string& nome) const;
    QIcon porHandle(std::uint32_t handle) const;

  private:
    struct Carregado {
        std::uint32_t handle = 0;
        QIcon icone;
        QPixmap quadro;
    };
    std::map<std::string, Carregado> icones_;
};

}  // namespace velmora
