#include "app/win32/IconesJanela.h"

#include "platform/win32/TextoWin32.h"

namespace velmora {

namespace {

constexpr const char* kIconeDaJanela = "1";

HICON carregaIcone(HINSTANCE instancia, const wchar_t* nome, int lado) {
    return static_cast<HICON>(::LoadImageW(instancia, nome, IMAGE_ICON, lado, lado, 0));
}

void destroi(HICON icone) {
    if (icone != nullptr) ::DestroyIcon(icone);
}

}  // namespace

IconesJanela::IconesJanela(HINSTANCE instancia, int ladoQuadro)
    : instancia_(instancia), ladoQuadro_(ladoQuadro) {}

IconesJanela::~IconesJanela() {
    for (auto& [nome, icones] : carregados_) {
        destroi(icones.quadro);
        destroi(icones.pequeno);
        destroi(icones.grande);
    }
}

IconesJanela::Tamanhos IconesJanela::carrega(const wchar_t* nome) const {
    return {carregaIcone(instancia_, nome, ladoQuadro_),
            carregaIcone(instancia_, nome, ::GetSystemMetrics(SM_CXSMICON)),
            carregaIcone(instancia_, nome, ::GetSystemMetrics(SM_CXICON))};
}

const IconesJanela::Tamanhos* IconesJanela::icone(const std::string& nome) {
    auto achado = carregados_.find(nome);
    if (achado == carregados_.end()) {
        const Tamanhos icones =
            nome == kIconeDaJanela ? carrega(MAKEINTRESOURCEW(1)) : carrega(larga(nome).c_str());
        achado = carregados_.emplace(nome, icones).first;
    }
    const Tamanhos& icones = achado->second;
    if (icones.quadro == nullptr || icones.pequeno == nullptr || icones.grande == nullptr)
        return nullptr;
    return &icones;
}

const IconesJanela::Tamanhos* IconesJanela::iconeDaJanela() {
    if (const Tamanhos* aplicacao = icone(kIconeDaJanela)) return aplicacao;
    return icone("ATIVOABERTO");
}

}  // namespace velmora
