#include "RegistroAtividade.h"

#include <exception>

namespace velmora {

namespace {

// Byte length of the first `limite` characters of `texto`; a character starts at every byte that
// is not a UTF-8 continuation byte, so a cut never falls inside one.
std::size_t bytesDosPrimeiros(const std::string& texto, std::size_t limite) {
    std::size_t caracteres = 0;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const auto byte = static_cast<unsigned char>(texto[i]);
        if ((byte & 0xC0) == 0x80) continue;
        if (caracteres == limite) return i;
        ++caracteres;
    }
    return texto.size();
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
        novo.resize(bytesDosPrimeiros(novo, kLimite));
        texto_ = std::move(novo);
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
