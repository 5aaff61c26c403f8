#include "app/win32/CodificacaoIniWin32.h"

#include "platform/win32/TextoWin32.h"
#include "settings/Velmora_INI.h"

namespace velmora {

void defineCodificacaoIniWin32() {
    defineCodificacaoIni({[](std::string_view bytes) {
                              if (bytes.starts_with(kMarcaUtf8)) return std::string(bytes);
                              return deCodigoPagina(bytes, CP_ACP);
                          },
                          [](std::string_view texto) { return paraCodigoPagina(texto, CP_ACP); }});
}

}  // namespace velmora
