#include "Falsos.h"

namespace velmora::teste {

JanelaDeTeste::JanelaDeTeste() {
    janela =
        std::make_unique<FrmVelmora>(DependenciasJanela{[this](ChaveTimer& timer) {
                                                            auto novo =
                                                                std::make_unique<MotorFalso>(timer);
                                                            motor = novo.get();
                                                            return novo;
                                                        },
                                                        pergunta, aviso, shell, icones});
}

JanelaDeTeste::~JanelaDeTeste() = default;

}  // namespace velmora::teste
