// A whole settings file read from disk: any bytes, then written and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Exige.h"
#include "PastaDoAlvo.h"
#include "settings/Velmora_INI.h"

using velmora::Configuracao;

namespace {

std::string pasta;

const char* const kAntes = "(antes)";

Configuracao comValoresAntigos() {
    Configuracao cfg;
    cfg.sArquivoIni = pasta + "/VELMORA.INI";
    cfg.sLocal = cfg.sImpressora = cfg.sBackup = cfg.sParalela = cfg.sPorta = kAntes;
    return cfg;
}

// A value read from the file is one trimmed line, or the old value when its key never came.
bool valorDeUmaLinha(const std::string& valor) {
    if (valor == kAntes) return true;
    if (valor.find_first_of("\r\n") != std::string::npos) return false;
    return valor.empty() || (valor.front() != ' ' && valor.back() != ' ');
}

bool iguais(const Configuracao& a, const Configuracao& b) {
    return a.sLocal == b.sLocal && a.sImpressora == b.sImpressora && a.sBackup == b.sBackup &&
           a.sParalela == b.sParalela && a.sPorta == b.sPorta;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pasta = criaPastaDoAlvo("ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string arquivo = pasta + "/entrada.ini";
    {
        std::ofstream saida(arquivo, std::ios::binary | std::ios::trunc);
        saida.write(reinterpret_cast<const char*>(dados), static_cast<std::streamsize>(tamanho));
        if (!saida.flush()) std::abort();
    }

    Configuracao lida = comValoresAntigos();
    velmora::LerIni(lida, arquivo);
    for (const std::string* v :
         {&lida.sLocal, &lida.sImpressora, &lida.sBackup, &lida.sParalela, &lida.sPorta}) {
        EXIGE(valorDeUmaLinha(*v));
    }
    const std::string texto(reinterpret_cast<const char*>(dados), tamanho);
    if (texto.find("LOCAL") == std::string::npos) EXIGE(lida.sLocal == kAntes);
    if (texto.find('=') == std::string::npos) EXIGE(iguais(lida, comValoresAntigos()));

    // Whatever was read survives a save and a new read unchanged.
    const std::string copia = pasta + "/copia.ini";
    velmora::GravarIni(lida, copia);
    Configuracao deNovo;
    deNovo.sArquivoIni = copia;
    velmora::LerIni(deNovo, copia);
    EXIGE(iguais(deNovo, lida));
    return 0;
}
