#include "FacesSistema.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>

namespace velmora {

namespace {

struct LiberaPadrao {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Padrao = std::unique_ptr<FcPattern, LiberaPadrao>;

bool ehOpenType(const std::string& caminho) {
    const auto ponto = caminho.rfind('.');
    if (ponto == std::string::npos) return false;
    std::string ext = caminho.substr(ponto + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "otf" || ext == "ttf";
}

// The file fontconfig gives for the family in one weight and slant; empty when the match is not
// a fixed-pitch OpenType file.
std::string arquivo(const QByteArray& familia, int peso, int inclinacao) {
    Padrao padrao(FcPatternCreate());
    FcPatternAddString(padrao.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(familia.data()));
    FcPatternAddInteger(padrao.get(), FC_WEIGHT, peso);
    FcPatternAddInteger(padrao.get(), FC_SLANT, inclinacao);
    FcConfigSubstitute(nullptr, padrao.get(), FcMatchPattern);
    FcDefaultSubstitute(padrao.get());
    FcResult resultado = FcResultNoMatch;
    Padrao achado(FcFontMatch(nullptr, padrao.get(), &resultado));
    if (!achado || resultado != FcResultMatch) return {};
    int espacamento = FC_PROPORTIONAL;
    FcPatternGetInteger(achado.get(), FC_SPACING, 0, &espacamento);
    FcChar8* caminho = nullptr;
    if (espacamento < FC_MONO ||
        FcPatternGetString(achado.get(), FC_FILE, 0, &caminho) != FcResultMatch) {
        return {};
    }
    const std::string r(reinterpret_cast<const char*>(caminho));
    return ehOpenType(r) ? r : std::string();
}

}  // namespace

std::optional<FacesFonte> facesDoSistema(const QFont& fonte) {
    if (!FcInit()) return std::nullopt;
    const QByteArray familia = fonte.family().toUtf8();
    FacesFonte faces{arquivo(familia, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN),
                     arquivo(familia, FC_WEIGHT_BOLD, FC_SLANT_ROMAN),
                     arquivo(familia, FC_WEIGHT_REGULAR, FC_SLANT_ITALIC),
                     arquivo(familia, FC_WEIGHT_BOLD, FC_SLANT_ITALIC)};
    if (faces.normal.empty() || faces.negrito.empty() || faces.italico.empty() ||
        faces.negritoItalico.empty()) {
        return std::nullopt;
    }
    return faces;
}

}  // namespace velmora
