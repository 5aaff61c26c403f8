#include "RegistroNotificacao.h"

#include <algorithm>

#include "Utf8.h"

namespace velmora {

void RegistroNotificacao::defineDica(std::string_view texto) {
    std::u32string campo = decodificaUtf8(texto);
    campo.push_back(U'\0');
    campo.resize(kCaracteresDica, U' ');
    std::copy(campo.begin(), campo.end(), dica.begin());
}

std::string RegistroNotificacao::dicaVisivel() const {
    const auto fim = std::find(dica.begin(), dica.end(), U'\0');
    return codificaUtf8(std::u32string(dica.begin(), fim));
}

std::array<unsigned char, RegistroNotificacao::kTamanho> RegistroNotificacao::emBytes() const {
    std::array<unsigned char, kTamanho> bytes{};
    std::size_t pos = 0;
    for (std::uint32_t campo : {tamanho, janela, id, flags, mensagem, icone}) {
        for (int k = 0; k < 4; ++k) bytes[pos++] = static_cast<unsigned char>(campo >> (8 * k));
    }
    for (char32_t c : dica) bytes[pos++] = c < 0x100 ? static_cast<unsigned char>(c) : '?';
    return bytes;
}

}  // namespace velmora
