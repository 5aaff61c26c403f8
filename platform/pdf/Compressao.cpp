#include "Compressao.h"

#include <new>

#if VELMORA_LIBDEFLATE
#include <libdeflate.h>

#include <memory>
#else
#include <zlib.h>
#endif

namespace velmora::pdf {

#if VELMORA_LIBDEFLATE

// libdeflate writes the same zlib format two to six times faster than zlib at level 1, at the
// same size; zlib stays for systems that lack it.
void comprime(std::string_view dados, std::string& saida) {
    struct Libera {
        void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
    };
    static thread_local std::unique_ptr<libdeflate_compressor, Libera> compressor(
        libdeflate_alloc_compressor(1));
    if (!compressor) throw std::bad_alloc();
    saida.resize(libdeflate_zlib_compress_bound(compressor.get(), dados.size()));
    const std::size_t tamanho = libdeflate_zlib_compress(compressor.get(), dados.data(),
                                                         dados.size(), saida.data(), saida.size());
    if (tamanho == 0) throw std::bad_alloc();  // cannot happen with a buffer of the bound's size
    saida.resize(tamanho);
}

#else

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

#endif

}  // namespace velmora::pdf
