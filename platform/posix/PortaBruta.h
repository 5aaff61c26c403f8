#pragma once

#include <string>

namespace velmora {

// Copies the bytes of `arquivo` unchanged onto `porta`: an installed CUPS queue (sent as a raw
// job titled `titulo`), otherwise a file or device path. Throws ErroPlataforma, with the port in
// front of the reason, when not every byte was handed over. The caller ignores SIGPIPE.
void copiaParaPorta(const std::string& arquivo, const std::string& porta,
                    const std::string& titulo);

}  // namespace velmora
