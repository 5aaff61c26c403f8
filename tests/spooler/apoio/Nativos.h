#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

// The running system's own files and code pages, for the cases that need the real thing.
#ifdef _WIN32
#include "platform/win32/DecodificadorWin32.h"
#include "platform/win32/SistemaArquivosWin32.h"
#else
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
