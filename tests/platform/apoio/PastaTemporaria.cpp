#include "PastaTemporaria.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

PastaTemporaria::PastaTemporaria() {
    std::string modelo = (std::filesystem::temp_directory_path() / "velmora-plataforma-XXXXXX");
    if (::mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp falhou");
    caminho_ = modelo + "/";
}

PastaTemporaria::~PastaTemporaria() {
    std::error_code erro;
    std::filesystem::permissions(caminho_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, erro);
    std::filesystem::remove_all(caminho_, erro);
}

void gravaArquivo(const std::string& caminho, std::string_view conteudo) {
    std::ofstream saida(caminho, std::ios::binary | std::ios::trunc);
    saida.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
    if (!saida.flush()) throw std::runtime_error("não gravou " + caminho);
}

std::string leArquivo(const std::string& caminho) {
    std::ifstream entrada(caminho, std::ios::binary);
    if (!entrada) throw std::runtime_error("não abriu " + caminho);
    return std::string(std::istreambuf_iterator<char>(entrada), {});
}

std::string todosOsBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    bytes += "\r\n\x0c\x1b";
    return bytes;
}
