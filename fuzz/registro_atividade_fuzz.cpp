// The activity log fed with messages that hold any bytes (job names are not always UTF-8). The
// input is the messages separated by NUL bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Exige.h"
#include "spooler/RegistroAtividade.h"

using velmora::RegistroAtividade;

namespace {

std::size_t caracteres(std::string_view texto) {
    std::size_t n = 0;
    for (const char c : texto) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    RegistroAtividade registro;
    std::vector<std::string> avisados;
    registro.aoRegistrar = [&](const std::string& m) { avisados.push_back(m); };

    std::vector<std::string> mensagens;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t nul = entrada.find('\0', inicio);
        mensagens.emplace_back(
            entrada.substr(inicio, nul == std::string_view::npos ? nul : nul - inicio));
        if (nul == std::string_view::npos) break;
        inicio = nul + 1;
    }
    // A few dozen calls already fill the log many times over; more only slow the fuzzer down.
    if (mensagens.size() > 64) mensagens.resize(64);
    // Long messages make the limit bite within a few calls.
    for (std::string& m : mensagens) {
        if (!m.empty() && m[0] == '+') m.append(8000, m.back());
    }

    for (const std::string& m : mensagens) {
        const std::string antes = registro.texto();
        registro.log(m);
        const std::string completo = m + "\r\n" + antes;
        const std::string& depois = registro.texto();
        // Newest first; only the oldest end is ever cut, and never inside a character.
        EXIGE(completo.rfind(depois, 0) == 0);
        EXIGE(caracteres(depois) == std::min(caracteres(completo), RegistroAtividade::kLimite));
        EXIGE(depois.size() == completo.size() ||
              (static_cast<unsigned char>(completo[depois.size()]) & 0xC0) != 0x80);
    }
    EXIGE(avisados == mensagens);
    return 0;
}
