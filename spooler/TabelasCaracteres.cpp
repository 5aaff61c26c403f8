#include "spooler/TabelasCaracteres.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "spooler/CodigosImpressora.h"

namespace velmora {

namespace {

constexpr std::array<int, 15> kPaginasDos = {437, 737, 775, 850, 852, 855, 857, 858,
                                             860, 861, 862, 863, 865, 866, 869};

bool ehPaginaDos(int numero) {
    return std::find(kPaginasDos.begin(), kPaginasDos.end(), numero) != kPaginasDos.end();
}

// The characters of the ESC R sets at the twelve positions below, by set number.
constexpr std::array<char, 12> kPosicoes = {'#', '$', '@', '[', '\\', ']',
                                            '^', '`', '{', '|', '}',  '~'};
constexpr char32_t kPeseta = U'\u20A7';
constexpr std::array<std::array<char32_t, 12>, 14> kConjuntos = {{
    {U'#', U'$', U'@', U'[', U'\\', U']', U'^', U'`', U'{', U'|', U'}', U'~'},    // USA
    {U'#', U'$', U'à', U'°', U'ç', U'§', U'^', U'`', U'é', U'ù', U'è', U'¨'},     // França
    {U'#', U'$', U'§', U'Ä', U'Ö', U'Ü', U'^', U'`', U'ä', U'ö', U'ü', U'ß'},     // Alemanha
    {U'£', U'$', U'@', U'[', U'\\', U']', U'^', U'`', U'{', U'|', U'}', U'~'},    // Reino Unido
    {U'#', U'$', U'@', U'Æ', U'Ø', U'Å', U'^', U'`', U'æ', U'ø', U'å', U'~'},     // Dinamarca I
    {U'#', U'¤', U'É', U'Ä', U'Ö', U'Å', U'Ü', U'é', U'ä', U'ö', U'å', U'ü'},     // Suécia
    {U'#', U'$', U'@', U'°', U'\\', U'é', U'^', U'ù', U'à', U'ò', U'è', U'ì'},    // Itália
    {kPeseta, U'$', U'@', U'¡', U'Ñ', U'¿', U'^', U'`', U'¨', U'ñ', U'}', U'~'},  // Espanha I
    {U'#', U'$', U'@', U'[', U'¥', U']', U'^', U'`', U'{', U'|', U'}', U'~'},     // Japão
    {U'#', U'¤', U'É', U'Æ', U'Ø', U'Å', U'Ü', U'é', U'æ', U'ø', U'å', U'ü'},     // Noruega
    {U'#', U'$', U'É', U'Æ', U'Ø', U'Å', U'Ü', U'é', U'æ', U'ø', U'å', U'ü'},     // Dinamarca II
    {U'#', U'$', U'á', U'¡', U'Ñ', U'¿', U'é', U'`', U'í', U'ñ', U'ó', U'ú'},     // Espanha II
    {U'#', U'$', U'á', U'¡', U'Ñ', U'¿', U'é', U'ü', U'í', U'ñ', U'ó', U'ú'},     // América Latina
    {U'#', U'$', U'@', U'[', U'\u20A9', U']', U'^', U'`', U'{', U'|', U'}', U'~'},  // Coreia
}};
constexpr int kConjuntoLegal = 64;
constexpr std::array<char32_t, 12> kLegal = {U'#', U'$', U'§', U'°', U'\'', U'"',
                                             U'¶', U'`', U'©', U'®', U'†',  U'™'};

}  // namespace

std::string codigoDaTabelaEpson(int d2, int d3) {
    switch (d2) {
        case 1:
            return "CP437";
        case 3:
            return "CP850";
        case 7:
            return "CP860";
        case 8:
            return "CP863";
        case 9:
            return "CP865";
        case 10:
            return "CP852";
        case 11:
            return "CP857";
        case 12:
            return "CP858";
        case 14:
            return "CP866";
        case 29:
            if (d3 >= 1 && d3 <= 16 && d3 != 12) return "ISO-8859-" + std::to_string(d3);
            return "";
        default:
            return "";
    }
}

std::string codigoIbm(int numero) {
    return ehPaginaDos(numero) ? "CP" + std::to_string(numero) : "";
}

std::string codigoDoConjuntoPcl(int numero, char letra) {
    switch (letra) {
        case 'U':
            if (numero == 10) return "CP437";
            if (numero == 12) return "CP850";
            if (numero == 8) return "HP-ROMAN8";
            if (numero == 19) return "CP1252";
            if (numero == 17) return "CP852";
            return "";
        case 'N':
            if (numero == 0) return "ISO-8859-1";
            if (numero == 2) return "ISO-8859-2";
            if (numero == 9) return "ISO-8859-15";
            return "";
        default:
            return "";
    }
}

bool ehCodigoDos(std::string_view codigo) {
    std::string nome;
    for (char c : codigo) nome += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string_view numero = nome;
    if (numero.rfind("CP", 0) == 0) {
        numero.remove_prefix(2);
    } else if (numero.rfind("IBM", 0) == 0) {
        numero.remove_prefix(3);
    } else {
        return false;
    }
    if (numero.size() != 3 || !std::all_of(numero.begin(), numero.end(), ::isdigit)) return false;
    return ehPaginaDos(std::stoi(std::string(numero)));
}

std::u32string comConjuntoNacional(std::u32string texto, int conjunto) {
    const std::array<char32_t, 12>* tabela = nullptr;
    if (conjunto > 0 && conjunto < static_cast<int>(kConjuntos.size())) {
        tabela = &kConjuntos[static_cast<std::size_t>(conjunto)];
    } else if (conjunto == kConjuntoLegal) {
        tabela = &kLegal;
    }
    if (tabela == nullptr) return texto;
    for (char32_t& c : texto) {
        const auto pos = std::find(kPosicoes.begin(), kPosicoes.end(), static_cast<char>(c));
        if (c < 0x80 && pos != kPosicoes.end())
            c = (*tabela)[static_cast<std::size_t>(pos - kPosicoes.begin())];
    }
    return texto;
}

}  // namespace velmora
