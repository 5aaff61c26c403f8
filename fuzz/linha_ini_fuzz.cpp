// One settings line split into key and value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Exige.h"
#include "settings/Velmora_INI.h"

using velmora::ChaveIni;
using velmora::ValorIni;

namespace {

bool semBrancoNasPontas(const std::string& s) {
    return s.empty() || (s.front() != ' ' && s.back() != ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string linha(reinterpret_cast<const char*>(dados), tamanho);
    const std::string chave = ChaveIni(linha);
    const std::string valor = ValorIni(linha);

    const auto igual = linha.find('=');
    if (igual == std::string::npos) {
        EXIGE(chave.empty() && valor.empty());
        return 0;
    }
    EXIGE(semBrancoNasPontas(chave) && semBrancoNasPontas(valor));
    EXIGE(chave.find('=') == std::string::npos);
    EXIGE(chave.size() + 1 + valor.size() <= linha.size());
    // Key and value come from the two sides of the first "=", in order.
    EXIGE(linha.find(chave) <= igual);
    EXIGE(valor.empty() || linha.find(valor, igual + 1) != std::string::npos);

    // What GravarIni writes for a value is read back as the same value.
    const std::string gravada = chave + " = " + valor;
    EXIGE(ChaveIni(gravada) == chave);
    EXIGE(ValorIni(gravada) == valor);
    return 0;
}
