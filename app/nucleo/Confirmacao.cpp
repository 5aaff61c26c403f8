#include "Confirmacao.h"

#include <exception>

#include "RegrasConfiguracao.h"
#include "settings/Velmora_INI.h"

namespace velmora {

bool confirmaConfiguracao(MotorJanela& motor, Aviso& aviso,
                          const std::function<std::string(const std::string&)>& mostraPorta) {
    Valores& valores = motor.valores();
    if (valores.sPorta.empty() && ligado(valores.sParalela)) {
        try {
            if (auto porta = portaDaImpressora(motor.impressoras(), valores.sImpressora))
                valores.sPorta = mostraPorta(*porta);
        } catch (const std::exception& erro) {
            motor.registro().log(erro.what());
        }
    }

    bool gravou = true;
    try {
        GravarIni(valores, valores.sArquivoIni);
    } catch (const ErroIni& erro) {
        gravou = false;
        aviso.mostra(erro.what());
    }
    try {
        LerIni(valores, valores.sArquivoIni);
    } catch (const ErroIni& erro) {
        // The same cause as a failed write needs saying only once.
        if (gravou) aviso.mostra(erro.what());
    }
    return !valores.sImpressora.empty() && !valores.sBackup.empty() && !valores.sLocal.empty();
}

}  // namespace velmora
