#include "MotivoDaFalha.h"

#include "spooler/ErroPlataforma.h"

std::string motivoDe(const std::function<void()>& passo) {
    try {
        passo();
    } catch (const velmora::ErroPlataforma& e) {
        return e.what();
    }
    return "(não falhou)";
}
