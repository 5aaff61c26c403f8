#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// One ESC command of Epson ESC/P (with ESC/P2's ESC ( commands) or of IBM Proprinter, cut out of
// the job by the lengths its own bytes give, so that none of it prints and nothing after it is
// lost.
struct ComandoEscP {
    unsigned char letra = 0;      // the byte after ESC; 0 when the job ends at the ESC
    std::string_view parametros;  // fixed bytes after the letter (ESC ( and ESC [: name, nL, nH)
    std::string_view dados;       // the variable part: data, bytes to print, a list without its end
    std::size_t tamanho = 1;      // bytes of the whole command, ESC included
    bool truncado = false;        // the job ends inside the command
};

// The command whose ESC is job[pos].
ComandoEscP leComandoEscP(std::string_view job, std::size_t pos, bool ibm);

}  // namespace velmora
