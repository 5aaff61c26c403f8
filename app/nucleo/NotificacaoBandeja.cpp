#include "NotificacaoBandeja.h"

namespace velmora {

NotificacaoBandeja::NotificacaoBandeja(ShellBandeja& shell, const FonteRegistro& fonte)
    : shell_(shell), fonte_(fonte) {}

void NotificacaoBandeja::IconeBandeja(const std::int16_t& acao, const std::string& dica) {
    registro_.tamanho = RegistroNotificacao::kTamanho;
    registro_.janela = fonte_.janelaPictIconeBandeja();
    registro_.id = RegistroNotificacao::kId;
    registro_.flags = RegistroNotificacao::kFlags;
    registro_.mensagem = RegistroNotificacao::kMensagem;
    registro_.icone = fonte_.iconeAtual();
    registro_.defineDica(dica);
    if (acao == 0) {
        shell_.notifica(OperacaoBandeja::adiciona, registro_);
    } else if (acao == 1) {
        shell_.notifica(OperacaoBandeja::modifica, registro_);
    }
}

void NotificacaoBandeja::remove() {
    registro_.tamanho = RegistroNotificacao::kTamanho;
    registro_.janela = fonte_.janelaPictIconeBandeja();
    registro_.id = RegistroNotificacao::kId;
    shell_.notifica(OperacaoBandeja::remove, registro_);
}

}  // namespace velmora
