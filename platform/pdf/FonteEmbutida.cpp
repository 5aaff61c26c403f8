#include "FonteEmbutida.h"

#include <cstdint>

#include "Compressao.h"
#include "SintaxePdf.h"
#include "Subconjunto.h"

namespace velmora::pdf {

namespace {

// Runs of consecutive used glyphs with one advance: "first last width".
std::string larguras(const FonteOpenType& fonte, const std::vector<char32_t>& unicodes) {
    std::string w = "[";
    for (std::size_t g = 0; g < unicodes.size();) {
        if (!unicodes[g]) {
            ++g;
            continue;
        }
        const int avanco = fonte.avanco(static_cast<std::uint16_t>(g));
        std::size_t fim = g;
        while (fim + 1 < unicodes.size() && unicodes[fim + 1] &&
               fonte.avanco(static_cast<std::uint16_t>(fim + 1)) == avanco) {
            ++fim;
        }
        numero(w, g);
        w += ' ';
        numero(w, fim);
        w += ' ';
        numero(w, avanco);
        w += '\n';
        g = fim + 1;
    }
    return w + "]";
}

std::string mapaUnicode(const std::vector<char32_t>& unicodes) {
    std::string m =
        "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
        "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    std::vector<std::size_t> usados;
    for (std::size_t g = 0; g < unicodes.size(); ++g) {
        if (unicodes[g]) usados.push_back(g);
    }
    // At most 100 entries to a block.
    for (std::size_t i = 0; i < usados.size(); i += 100) {
        const std::size_t fim = std::min(usados.size(), i + 100);
        numero(m, fim - i);
        m += " beginbfchar\n";
        for (std::size_t k = i; k < fim; ++k) {
            m += '<';
            utf16(m, static_cast<char32_t>(usados[k]));
            m += "><";
            utf16(m, unicodes[usados[k]]);
            m += ">\n";
        }
        m += "endbfchar\n";
    }
    return m + "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
}

// A subset's name starts with six capitals of its own ("KQWBJD+"), here from its glyphs.
std::string marcaDoSubconjunto(const std::vector<char32_t>& unicodes) {
    std::uint32_t h = 2166136261u;
    for (std::size_t g = 0; g < unicodes.size(); ++g) {
        if (unicodes[g]) h = (h ^ static_cast<std::uint32_t>(g)) * 16777619u;
    }
    std::string marca;
    for (int i = 0; i < 6; ++i, h /= 26) marca += static_cast<char>('A' + h % 26);
    return marca + "+";
}

}  // namespace

void embuteFonte(ArquivoPdf& arquivo, int objeto, const FonteOpenType& fonte,
                 const std::vector<char32_t>& unicodes) {
    const int cid = arquivo.reserva(), descritor = arquivo.reserva();
    const int programa = arquivo.reserva(), mapa = arquivo.reserva();
    const std::string reduzida = subconjunto(fonte, unicodes);
    const std::string& embutida = reduzida.empty() ? fonte.bytes() : reduzida;
    std::string nome;
    nomePdf(nome, reduzida.empty() ? fonte.nomePostScript()
                                   : marcaDoSubconjunto(unicodes) + fonte.nomePostScript());

    std::string s =
        "<</Type/Font/Subtype/Type0/Encoding/Identity-H/BaseFont" + nome + "/DescendantFonts[";
    referencia(s, cid);
    s += "]/ToUnicode ";
    referencia(s, mapa);
    s += ">>";
    arquivo.objeto(objeto, s);

    // A CFF font that is not CID-keyed takes the codes as glyph numbers; a TrueType one is
    // told so.
    s = "<</Type/Font/Subtype/";
    s += fonte.cff() ? "CIDFontType0" : "CIDFontType2/CIDToGIDMap/Identity";
    s += "/BaseFont" + nome + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>";
    s += "/FontDescriptor ";
    referencia(s, descritor);
    s += "/DW ";
    numero(s, fonte.avanco(0));
    s += "/W" + larguras(fonte, unicodes) + ">>";
    arquivo.objeto(cid, s);

    // Flags: fixed pitch 1, nonsymbolic 32, italic 64.
    const int sinais = (fonte.fixo ? 1 : 0) | 32 | (fonte.italico ? 64 : 0);
    s = "<</Type/FontDescriptor/FontName" + nome + "/Flags ";
    numero(s, sinais);
    s += "/FontBBox[";
    for (int i = 0; i < 4; ++i) {
        if (i) s += ' ';
        numero(s, fonte.caixa[i]);
    }
    s += "]/ItalicAngle ";
    numero(s, fonte.anguloItalico);
    // How far the glyphs reach above and below the base line: the font's box, not its line
    // metrics, which may add space below (Nimbus Mono PS says -397 where no glyph goes below -317).
    s += "/Ascent ";
    numero(s, fonte.caixa[3]);
    s += "/Descent ";
    numero(s, fonte.caixa[1]);
    s += "/CapHeight ";
    numero(s, fonte.alturaMaiusculas);
    s += "/StemV ";
    numero(s, fonte.negrito ? 120 : 80);
    s += fonte.cff() ? "/FontFile3 " : "/FontFile2 ";
    referencia(s, programa);
    s += ">>";
    arquivo.objeto(descritor, s);

    std::string comprimido;
    comprime(embutida, comprimido);
    if (fonte.cff()) {
        arquivo.fluxo(programa, "/Subtype/OpenType", comprimido);
    } else {
        std::string tamanho = "/Length1 ";
        numero(tamanho, embutida.size());
        arquivo.fluxo(programa, tamanho, comprimido);
    }
    comprime(mapaUnicode(unicodes), comprimido);
    arquivo.fluxo(mapa, "", comprimido);
}

}  // namespace velmora::pdf
