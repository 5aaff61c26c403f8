#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

// The running system's own files and code pages, for the cases that need the real thing.
#ifdef _WIN32
#include "platform/win32/DecodificadorWin32.h"
#include "platform/win32/SistemaArquivosWin32.h"
#include "platform/win32/TextoWin32.h"
#else
#include <iconv.h>

#include "platform/posix/DecodificadorIconv.h"
#include "platform/posix/SistemaArquivosPosix.h"
#endif

namespace velmora::teste {

#ifdef _WIN32
using SistemaArquivosNativo = SistemaArquivosWin32;
using DecodificadorNativo = DecodificadorWin32;
// The system's words for a missing file.
inline const std::string kArquivoAusente = "File not found";
#else
using SistemaArquivosNativo = SistemaArquivosPosix;
using DecodificadorNativo = DecodificadorIconv;
inline const std::string kArquivoAusente = "No such file or directory";
#endif

// A file the platform keeps beside the jobs while it handles them (Windows' hidden locks).
inline bool ehArquivoDaPlataforma(const std::string& nome) {
#ifdef _WIN32
    return nome.ends_with(".velmora-trava");
#else
    (void)nome;
    return false;
#endif
}

// UTF-8 text written in code page `codigo` ("CP850", "WINDOWS-1252", ...), as a program would
// write it; throws when a character has no byte there.
inline std::string emCodigo(const std::string& utf8, const std::string& codigo) {
#ifdef _WIN32
    const UINT pagina = codigoPagina(codigo);
    if (pagina == 0) throw std::runtime_error("código de página desconhecido: " + codigo);
    std::string saida = paraCodigoPagina(utf8, pagina);
    if (deCodigoPagina(saida, pagina) != utf8)
        throw std::runtime_error("sem " + codigo + ": " + utf8);
    return saida;
#else
    iconv_t cd = ::iconv_open(codigo.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: " + codigo);
    std::string saida(utf8.size() * 4, '\0');
    char* entrada = const_cast<char*>(utf8.data());
    std::size_t restaEntrada = utf8.size();
    char* destino = saida.data();
    std::size_t restaSaida = saida.size();
    const std::size_t r = ::iconv(cd, &entrada, &restaEntrada, &destino, &restaSaida);
    ::iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) throw std::runtime_error("sem " + codigo + ": " + utf8);
    saida.resize(saida.size() - restaSaida);
    return saida;
#endif
}

// A new folder under the system's temporary folder, named `prefixo` and a random number.
inline std::string pastaTemporariaNova(const std::string& prefixo) {
    std::random_device aleatorio;
    for (int tentativa = 0; tentativa < 100; ++tentativa) {
        const auto pasta =
            std::filesystem::temp_directory_path() / (prefixo + "-" + std::to_string(aleatorio()));
        if (std::filesystem::create_directory(pasta)) return pasta.string();
    }
    throw std::runtime_error("não foi possível criar uma pasta temporária");
}

}  // namespace velmora::teste
