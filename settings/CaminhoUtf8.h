#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// A UTF-8 path for the standard library's files: on Windows a plain std::string would be read
// in the ANSI code page.
inline std::filesystem::path caminhoUtf8(const std::string& caminho) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(caminho.data()), caminho.size()));
}

}  // namespace velmora
