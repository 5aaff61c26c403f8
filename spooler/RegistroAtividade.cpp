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
        Linha linha{txtMsg + "\r\n", contaCaracteres(txtMsg) + 2};
        const std::size_t caracteres = linha.caracteres;
        linhas_.push_front(std::move(linha));
        caracteres_ += caracteres;
        montado_ = false;
        // Cutting the end of a text cut before at its end gives the same as one cut of the
        // whole: the oldest lines that lie wholly beyond the limit can go now.
        while (caracteres_ - linhas_.back().caracteres >= kLimite) {
            caracteres_ -= linhas_.back().caracteres;
            linhas_.pop_back();
        }
    } catch (const std::exception&) {
        return;
    }
    if (!aoRegistrar) return;
    try {
        aoRegistrar(txtMsg);
    } catch (const std::exception&) {
    }
}

const std::string& RegistroAtividade::texto() const {
    if (montado_) return texto_;
    std::string novo;
    for (const Linha& linha : linhas_) novo += linha.texto;
    if (caracteres_ > kLimite) novo.resize(semOsUltimos(novo, caracteres_ - kLimite));
    texto_ = std::move(novo);
    montado_ = true;
    return texto_;
}

}  // namespace velmora
