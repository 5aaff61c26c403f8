#include "Compressao.h"

#include <zlib.h>

#include <stdexcept>

namespace velmora::pdf {

void comprime(std::string_view dados, std::string& saida) {
    uLongf tamanho = compressBound(static_cast<uLong>(dados.size()));
    saida.resize(tamanho);
    const int r = compress2(reinterpret_cast<Bytef*>(saida.data()), &tamanho,
                            reinterpret_cast<const Bytef*>(dados.data()),
                            static_cast<uLong>(dados.size()), 1);
    // With a buffer of compressBound's size only a lack of memory makes it fail.
    if (r != Z_OK) throw std::bad_alloc();
    saida.resize(tamanho);
}

}  // namespace velmora::pdf
