#pragma once

#include <string>

namespace velmora {

// Outcome of handing one job over: ok, or the reason it was not output whole.
struct Resultado {
    bool ok = true;
    std::string motivo;

    static Resultado sucesso() { return {}; }
    static Resultado falha(std::string motivo) { return {false, std::move(motivo)}; }
};

}  // namespace velmora
