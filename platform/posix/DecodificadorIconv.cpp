#include "platform/posix/DecodificadorIconv.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "spooler/ErroPlataforma.h"
#include "spooler/PaginaCodigo.h"

namespace velmora {

namespace {

constexpr char32_t kSubstituto = U'\uFFFD';
const iconv_t kSemConversor = reinterpret_cast<iconv_t>(-1);

const char* utf32Local() {
    return std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
}

bool soAscii(std::string_view bytes) { return prefixoAscii(bytes) == bytes.size(); }

void reinicia(iconv_t cd) { ::iconv(cd, nullptr, nullptr, nullptr, nullptr); }

// Converts what it can of `bytes`; undecodable bytes become U+FFFD one by one.
std::u32string converte(iconv_t cd, std::string_view bytes) {
    reinicia(cd);
    std::u32string resultado;
    // Most code pages give at most one character per byte; grown when one gives more.
    std::vector<char32_t> saida(bytes.size() + 16);
    char* entrada = const_cast<char*>(bytes.data());
    std::size_t restaEntrada = bytes.size();
    for (;;) {
        char* destino = reinterpret_cast<char*>(saida.data());
        std::size_t restaSaida = saida.size() * sizeof(char32_t);
        bool despejo = restaEntrada == 0;
        std::size_t r;
        if (!despejo) {
            r = ::iconv(cd, &entrada, &restaEntrada, &destino, &restaSaida);
        } else {
            // Flushes the shift state of stateful code pages.
            r = ::iconv(cd, nullptr, nullptr, &destino, &restaSaida);
        }
        int erro = errno;
        std::size_t escritos =
            static_cast<std::size_t>(destino - reinterpret_cast<char*>(saida.data())) /
            sizeof(char32_t);
        resultado.append(saida.data(), escritos);
        if (r != static_cast<std::size_t>(-1)) {
            if (despejo) break;
            continue;
        }
        if (erro == E2BIG) {
            if (escritos == 0) saida.resize(saida.size() * 2);
        } else if ((erro == EILSEQ || erro == EINVAL) && restaEntrada > 0) {
            resultado.push_back(kSubstituto);
            ++entrada;
            --restaEntrada;
            reinicia(cd);
        } else {
            throw ErroPlataforma("falha ao converter o texto do job");
        }
    }
    return resultado;
}

}  // namespace

DecodificadorIconv::DecodificadorIconv(const std::string& codigoFixo) {
    if (codigoFixo.empty()) return;
    try {
        conversor(codigoFixo);
    } catch (const ErroPlataforma&) {
        throw ErroPlataforma("VELMORA_CODEPAGE: código de página desconhecido: " + codigoFixo);
    }
    codigoFixo_ = codigoFixo;
}

DecodificadorIconv::~DecodificadorIconv() {
    for (auto& [codigo, c] : conversores_) ::iconv_close(c.cd);
}

std::string DecodificadorIconv::escolhe(std::string_view jobInteiro) const {
    if (!codigoFixo_.empty()) return codigoFixo_;
    return codigoPeloConteudo(jobInteiro);
}

bool DecodificadorIconv::peloConteudo() const { return codigoFixo_.empty(); }

std::u32string DecodificadorIconv::decodifica(std::string_view bytes,
                                              const std::string& codigo) const {
    Conversor& c = conversor(codigo);
    if (c.asciiDireto && soAscii(bytes)) return std::u32string(bytes.begin(), bytes.end());
    return converte(c.cd, bytes);
}

std::size_t DecodificadorIconv::larguraImpressa(std::string_view bytes,
                                                const std::string& codigo) const {
    // An ASCII line is its own characters: measured on the bytes, without decoding.
    if (conversor(codigo).asciiDireto && soAscii(bytes)) return velmora::larguraImpressa(bytes);
    return Decodificador::larguraImpressa(bytes, codigo);
}

DecodificadorIconv::Conversor& DecodificadorIconv::conversor(const std::string& codigo) const {
    if (ultimo_ != nullptr && *ultimoCodigo_ == codigo) return *ultimo_;
    auto achado = conversores_.find(codigo);
    if (achado != conversores_.end()) {
        ultimoCodigo_ = &achado->first;
        ultimo_ = &achado->second;
        return achado->second;
    }

    iconv_t cd = ::iconv_open(utf32Local(), codigo.c_str());
    if (cd == kSemConversor) throw ErroPlataforma("código de página desconhecido: " + codigo);
    // Not every iconv name is ASCII-based (UTF-16, EBCDIC): the shortcut is checked once.
    std::string ascii;
    for (int b = 1; b < 0x80; ++b) ascii.push_back(static_cast<char>(b));
    bool direto;
    try {
        direto = converte(cd, ascii) == std::u32string(ascii.begin(), ascii.end());
    } catch (...) {
        ::iconv_close(cd);
        throw;
    }
    auto novo = conversores_.emplace(codigo, Conversor{cd, direto}).first;
    ultimoCodigo_ = &novo->first;
    ultimo_ = &novo->second;
    return novo->second;
}

}  // namespace velmora
