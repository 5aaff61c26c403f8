#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace velmora {

// One value field of a PCL parameterised command: ESC &l66P is '&', 'l', 66, 'P'.
struct CampoPcl {
    char parametro = 0;  // 33-47: & ( ) * ...
    char grupo = 0;      // 96-126, or 0 when the command has none (ESC ( 10U)
    char letra = 0;      // the field's closing character, in capitals
    double valor = 0;
    bool comSinal = false;   // the value had + or -: a relative move
    std::string_view dados;  // the bytes a W field (or &p#X) carries
};

// One PCL escape sequence: a two-character command (ESC E) or a parameterised one, whose
// combined fields (ESC &l1o66P) come one by one.
struct ComandoPcl {
    char letra = 0;  // two-character command: the byte after ESC; 0 for a parameterised one
    std::vector<CampoPcl> campos;
    std::size_t tamanho = 1;  // bytes of the whole sequence, ESC included
};

// The sequence whose ESC is job[pos]. A byte outside the grammar ends the sequence before it, so
// that the byte keeps its own meaning; the job's end ends it too.
ComandoPcl leComandoPcl(std::string_view job, std::size_t pos);

}  // namespace velmora
