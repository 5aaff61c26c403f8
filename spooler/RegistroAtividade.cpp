#include "RegistroAtividade.h"

#include <exception>

namespace velmora {

namespace {

bool iniciaCaractere(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// A character starts at every byte that is not a UTF-8 continuation byte.
std::size_t contaCaracteres(const std::string& texto) {
    std::size_t n = 0;
    for (char c : texto) n += iniciaCaractere(c);
    return n;
}

// Byte length of `texto` without its last `excesso` characters; a cut never falls inside one.
std::size_t semOsUltimos(const std::string& texto, std::size_t excesso) {
    std::size_t fim = texto.size();
    while (excesso > 0 && fim > 0) {
        --fim;
        if (iniciaCaractere(texto[fim])) --excesso;
    }
    return fim;
}

}  // namespace

void RegistroAtividade::log(const std::string& txtMsg) {
    // A log that cannot be updated must never stop the job that is being logged.
    try {
        std::string novo;
        novo.reserve(txtMsg.size() + 2 + texto_.size());
        novo += txtMsg;
        novo += "\r\n";
        novo += texto_;
        std::size_t caracteres = contaCaracteres(txtMsg) + 2 + caracteres_;
        if (caracteres > kLimite) {
            novo.resize(semOsUltimos(novo, caracteres - kLimite));
            caracteres = kLimite;
        }
        texto_ = std::move(novo);
        caracteres_ = caracteres;
    } catch (const std::exception&) {
        return;
    }
    if (!aoRegistrar) return;
    try {
        aoRegistrar(txtMsg);
    } catch (const std::exception&) {
    }
}

}  // namespace velmora
