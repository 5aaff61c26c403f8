#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A folder of the run's own (in memory where there is /dev/shm), removed when the run ends.
inline std::string criaPastaDoAlvo(const std::string& alvo) {
    static std::string pasta;
    const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string modelo = base + "/velmora-fuzz-" + alvo + "-XXXXXX";
    if (::mkdtemp(modelo.data()) == nullptr) std::abort();
    pasta = modelo;
    std::atexit([] {
        std::error_code erro;
        std::filesystem::remove_all(pasta, erro);
    });
    return pasta;
}
