#include "platform/posix/PapelLocal.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace velmora {

namespace {

constexpr TamanhoPapel kA4{210, 297};
constexpr TamanhoPapel kCarta{215.9, 279.4};

// The locale's variable that decides the paper, as setlocale would pick it.
std::string nomeDoLocal() {
    for (const char* variavel : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* valor = std::getenv(variavel);
        if (valor != nullptr && *valor != '\0') return valor;
    }
    return {};
}

// Where the locale is not installed its name still says the country (en_US.UTF-8).
TamanhoPapel pelaRegiao(std::string_view nome) {
    static constexpr std::array<std::string_view, 14> kPaisesCarta = {
        "US", "CA", "MX", "PH", "CL", "CO", "VE", "CR", "GT", "PA", "SV", "DO", "PR", "NI"};
    const auto sublinhado = nome.find('_');
    if (sublinhado == std::string_view::npos) return kA4;
    const std::string_view regiao = nome.substr(sublinhado + 1, 2);
    const bool carta =
        std::find(kPaisesCarta.begin(), kPaisesCarta.end(), regiao) != kPaisesCarta.end();
    return carta ? kCarta : kA4;
}

}  // namespace

TamanhoPapel papelDoLocal() {
    const locale_t local = ::newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
    if (local == static_cast<locale_t>(nullptr)) return pelaRegiao(nomeDoLocal());
    // glibc gives these two as numbers (millimetres) in place of the string pointer.
    const auto mm = [&](nl_item item) {
        return static_cast<double>(static_cast<std::uint32_t>(
            reinterpret_cast<std::uintptr_t>(::nl_langinfo_l(item, local))));
    };
    const TamanhoPapel papel{mm(_NL_PAPER_WIDTH), mm(_NL_PAPER_HEIGHT)};
    ::freelocale(local);
    if (papel.largura <= 0 || papel.altura <= 0) return kA4;
    // The locale rounds to whole millimetres: 216 x 279 is Letter.
    if (papel.largura == 216 && papel.altura == 279) return kCarta;
    return papel;
}

}  // namespace velmora
