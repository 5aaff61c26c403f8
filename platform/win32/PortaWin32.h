#pragma once

#include <string>

namespace velmora {

// Raw output on Windows. Both throw ErroPlataforma, with the port in front of the reason, when
// not every byte was handed over.

// The bytes of `arquivo` as one RAW job titled `titulo` on the installed printer `impressora`.
void enviaBrutoImpressora(const std::string& arquivo, const std::string& impressora,
                          const std::string& titulo);

// A copy of `arquivo` onto a device (LPT2, LPT2:, COM1, PRN), a share (\\serv\imp) or a file
// path. A bare name that is no device and no existing file is refused: it would otherwise
// become a new file in the current folder.
void copiaParaPorta(const std::string& arquivo, const std::string& porta);

// Whether `porta` names a DOS device: PRN, AUX, NUL, LPT1-9, COM1-9, with or without ":".
bool ehDispositivo(const std::string& porta);

}  // namespace velmora
