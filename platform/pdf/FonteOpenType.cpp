#include "FonteOpenType.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "settings/CaminhoUtf8.h"
#include "spooler/ErroPlataforma.h"

namespace velmora::pdf {

namespace {

// Big-endian reads that never leave the file: a bad offset is a corrupt font, not a crash.
struct Leitor {
    const std::string& bytes;
    const std::string& caminho;

    [[noreturn]] void corrompida() const {
        throw ErroPlataforma("a fonte " + caminho + " está corrompida");
    }
    std::uint32_t ler(std::size_t pos, int tamanho) const {
        if (pos > bytes.size() || bytes.size() - pos < static_cast<std::size_t>(tamanho)) {
            corrompida();
        }
        std::uint32_t v = 0;
        for (int i = 0; i < tamanho; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[pos + i]);
        return v;
    }
    std::uint16_t u16(std::size_t pos) const { return static_cast<std::uint16_t>(ler(pos, 2)); }
    std::int16_t s16(std::size_t pos) const { return static_cast<std::int16_t>(u16(pos)); }
    std::uint32_t u32(std::size_t pos) const { return ler(pos, 4); }
};

std::string leArquivo(const std::string& caminho) {
    std::ifstream entrada(caminhoUtf8(caminho), std::ios::binary);
    std::string bytes;
    if (entrada) bytes.assign(std::istreambuf_iterator<char>(entrada), {});
    if (!entrada && !entrada.eof()) {
        throw ErroPlataforma("não foi possível ler a fonte " + caminho + ": " +
                             std::strerror(errno));
    }
    return bytes;
}

}  // namespace

FonteOpenType::FonteOpenType(const std::string& caminho)
    : caminho_(caminho), bytes_(leArquivo(caminho)) {
    const Leitor l{bytes_, caminho_};
    const std::uint32_t versao = l.u32(0);
    if (versao == 0x4F54544F) {  // 'OTTO'
        cff_ = true;
    } else if (versao != 0x00010000 && versao != 0x74727565) {  // 'true'
        throw ErroPlataforma("o arquivo " + caminho + " não é uma fonte OpenType ou TrueType");
    }
    std::map<std::string, std::pair<std::size_t, std::size_t>> tabelas;
    const int quantas = l.u16(4);
    for (int i = 0; i < quantas; ++i) {
        const std::size_t registro = 12 + 16 * static_cast<std::size_t>(i);
        const std::pair<std::size_t, std::size_t> onde{l.u32(registro + 8), l.u32(registro + 12)};
        tabelas[bytes_.substr(registro, 4)] = onde;
    }
    const auto tabela = [&](const char* nome) -> std::size_t {
        const auto it = tabelas.find(nome);
        if (it == tabelas.end()) {
            throw ErroPlataforma("a fonte " + caminho_ + " não tem a tabela " + nome);
        }
        return it->second.first;
    };

    const std::size_t head = tabela("head");
    const int unidades = l.u16(head + 18);
    if (unidades == 0) l.corrompida();
    const auto mil = [&](double v) { return static_cast<int>(std::lround(v * 1000 / unidades)); };
    for (int i = 0; i < 4; ++i) caixa[i] = mil(l.s16(head + 36 + 2 * i));
    const int estilo = l.u16(head + 44);
    negrito = estilo & 1;
    italico = estilo & 2;

    const std::size_t hhea = tabela("hhea");
    ascendente = mil(l.s16(hhea + 4));
    descendente = mil(l.s16(hhea + 6));
    const std::size_t metricas = l.u16(hhea + 34);
    const std::size_t glifos = l.u16(tabela("maxp") + 4);
    if (metricas == 0 || metricas > glifos) l.corrompida();
    const std::size_t hmtx = tabela("hmtx");
    avancos_.resize(glifos);
    for (std::size_t g = 0; g < glifos; ++g) {
        avancos_[g] = g < metricas ? mil(l.u16(hmtx + 4 * g)) : avancos_[metricas - 1];
    }

    if (tabelas.count("post")) {
        const std::size_t post = tabela("post");
        anguloItalico = static_cast<std::int32_t>(l.u32(post + 4)) / 65536.0;
        posicaoSublinhado = mil(l.s16(post + 8));
        espessuraSublinhado = std::max(1, mil(l.s16(post + 10)));
        fixo = l.u32(post + 12) != 0;
    }
    alturaMaiusculas = ascendente;
    if (tabelas.count("OS/2")) {
        const std::size_t os2 = tabela("OS/2");
        if (l.u16(os2) >= 2) alturaMaiusculas = mil(l.s16(os2 + 88));
    }

    const auto [cmap, tamanhoCmap] =
        tabelas.count("cmap") ? tabelas["cmap"] : std::pair<std::size_t, std::size_t>{0, 0};
    leCmap(cmap, tamanhoCmap);

    // The PostScript name, from the name table (id 6), Windows Unicode or Macintosh Roman.
    if (tabelas.count("name")) {
        const std::size_t name = tabela("name");
        const std::size_t registros = l.u16(name + 2);
        const std::size_t textos = name + l.u16(name + 4);
        for (std::size_t i = 0; i < registros && nome_.empty(); ++i) {
            const std::size_t r = name + 6 + 12 * i;
            if (l.u16(r + 6) != 6) continue;
            const int plataforma = l.u16(r);
            const std::size_t tamanho = l.u16(r + 8), inicio = textos + l.u16(r + 10);
            const int largura = plataforma == 3 || plataforma == 0 ? 2 : 1;
            for (std::size_t k = 0; k + largura <= tamanho; k += largura) {
                const std::uint32_t c = l.ler(inicio + k, largura);
                if (c > 0x20 && c < 0x7F) nome_ += static_cast<char>(c);
            }
        }
    }
    if (nome_.empty()) nome_ = "Fonte";
}

// Windows or Unicode subtables; a full-repertoire one (format 12) over a BMP one (format 4).
void FonteOpenType::leCmap(std::size_t cmap, std::size_t tamanho) {
    const Leitor l{bytes_, caminho_};
    std::size_t formato4 = 0, formato12 = 0;
    if (tamanho > 0) {
        const int subtabelas = l.u16(cmap + 2);
        for (int i = 0; i < subtabelas; ++i) {
            const std::size_t r = cmap + 4 + 8 * static_cast<std::size_t>(i);
            const int plataforma = l.u16(r), codificacao = l.u16(r + 2);
            const bool unicode =
                plataforma == 0 || (plataforma == 3 && (codificacao == 1 || codificacao == 10));
            if (!unicode) continue;
            const std::size_t sub = cmap + l.u32(r + 4);
            const int formato = l.u16(sub);
            if (formato == 4 && !formato4) formato4 = sub;
            if (formato == 12 && !formato12) formato12 = sub;
        }
    }
    if (formato12) {
        const std::uint32_t grupos = l.u32(formato12 + 12);
        if (grupos > bytes_.size() / 12) l.corrompida();
        for (std::uint32_t i = 0; i < grupos; ++i) {
            const std::size_t g = formato12 + 16 + 12 * static_cast<std::size_t>(i);
            const char32_t primeiro = l.u32(g), ultimo = l.u32(g + 4);
            const std::uint32_t glifo = l.u32(g + 8);
            if (ultimo < primeiro || ultimo > 0x10FFFF) l.corrompida();
            for (char32_t c = primeiro; c <= ultimo && c < 0x10000; ++c) {
                const std::uint32_t gl = glifo + (c - primeiro);
                bmp_[c] = gl < avancos_.size() ? static_cast<std::uint16_t>(gl) : 0;
            }
            if (ultimo >= 0x10000) alem_.push_back({primeiro, ultimo, glifo});
        }
        std::sort(alem_.begin(), alem_.end(),
                  [](const Grupo& a, const Grupo& b) { return a.primeiro < b.primeiro; });
    } else if (formato4) {
        const std::size_t segmentos = l.u16(formato4 + 6) / 2;
        const std::size_t fins = formato4 + 14, inicios = fins + 2 * segmentos + 2;
        const std::size_t deltas = inicios + 2 * segmentos, deslocamentos = deltas + 2 * segmentos;
        for (std::size_t s = 0; s < segmentos; ++s) {
            const char32_t fim = l.u16(fins + 2 * s), inicio = l.u16(inicios + 2 * s);
            const std::uint16_t delta = l.u16(deltas + 2 * s);
            const std::size_t onde = deslocamentos + 2 * s;
            const std::uint16_t deslocamento = l.u16(onde);
            for (char32_t c = inicio; c <= fim && c < 0xFFFF; ++c) {
                std::uint16_t g = 0;
                if (deslocamento == 0) {
                    g = static_cast<std::uint16_t>(c + delta);
                } else {
                    g = l.u16(onde + deslocamento + 2 * (c - inicio));
                    if (g != 0) g = static_cast<std::uint16_t>(g + delta);
                }
                bmp_[c] = g < avancos_.size() ? g : 0;
            }
        }
    } else {
        throw ErroPlataforma("a fonte " + caminho_ + " não tem um mapa de caracteres Unicode");
    }
}

std::uint16_t FonteOpenType::glifoAlem(char32_t c) const {
    auto it = std::upper_bound(alem_.begin(), alem_.end(), c,
                               [](char32_t v, const Grupo& g) { return v < g.primeiro; });
    if (it == alem_.begin()) return 0;
    --it;
    if (c > it->ultimo) return 0;
    const std::uint32_t g = it->glifo + (c - it->primeiro);
    return g < avancos_.size() ? static_cast<std::uint16_t>(g) : 0;
}

}  // namespace velmora::pdf
