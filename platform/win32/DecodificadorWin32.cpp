#include "platform/win32/DecodificadorWin32.h"

#include <cctype>

#include "spooler/ErroPlataforma.h"

namespace velmora {

namespace {

// The number after `prefixo`, or 0.
UINT numeroApos(const std::string& nome, std::string_view prefixo) {
    if (!nome.starts_with(prefixo) || nome.size() == prefixo.size() || nome.size() > 12) return 0;
    UINT valor = 0;
    for (char c : nome.substr(prefixo.size())) {
        if (c < '0' || c > '9') return 0;
        valor = valor * 10 + static_cast<UINT>(c - '0');
    }
    return valor;
}

UINT semVerificar(const std::string& nome) {
    std::string maiusculo;
    for (char c : nome) {
        if (c == '_') c = '-';
        maiusculo.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (maiusculo == "UTF-8" || maiusculo == "UTF8") return CP_UTF8;
    if (maiusculo == "ACP") return ::GetACP();
    if (maiusculo == "OEMCP") return ::GetOEMCP();
    if (maiusculo == "LATIN1") return 28591;
    if (UINT n = numeroApos(maiusculo, "ISO-8859-")) return n <= 15 ? 28590 + n : 0;
    for (std::string_view prefixo : {"", "CP", "WINDOWS-", "IBM", "MS"})
        if (UINT n = numeroApos(maiusculo, prefixo)) return n;
    return 0;
}

}  // namespace

UINT codigoPagina(const std::string& nome) {
    const UINT codigo = semVerificar(nome);
    return codigo != 0 && ::IsValidCodePage(codigo) ? codigo : 0;
}

DecodificadorWin32::DecodificadorWin32(const std::string& codigoFixo) : codigoFixo_(codigoFixo) {
    if (!codigoFixo_.empty() && codigoPagina(codigoFixo_) == 0)
        throw ErroPlataforma("VELMORA_CODEPAGE: código de página desconhecido: " + codigoFixo_);
}

std::string DecodificadorWin32::escolhe(std::string_view jobInteiro) const {
    if (!codigoFixo_.empty()) return codigoFixo_;
    if (jobInteiro.empty()) return "UTF-8";
    const bool utf8 = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, jobInteiro.data(),
                                            static_cast<int>(jobInteiro.size()), nullptr, 0) > 0;
    return utf8 ? "UTF-8" : "WINDOWS-1252";
}

std::u32string DecodificadorWin32::decodifica(std::string_view bytes,
                                              const std::string& codigo) const {
    const UINT pagina = codigoPagina(codigo);
    if (pagina == 0) throw ErroPlataforma("código de página desconhecido: " + codigo);
    std::u32string texto;
    if (bytes.empty()) return texto;
    const int n =
        ::MultiByteToWideChar(pagina, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring largo(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(pagina, 0, bytes.data(), static_cast<int>(bytes.size()), largo.data(), n);
    texto.reserve(largo.size());
    for (std::size_t i = 0; i < largo.size(); ++i) {
        const char32_t c = largo[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < largo.size() && largo[i + 1] >= 0xDC00 &&
            largo[i + 1] <= 0xDFFF) {
            texto.push_back(0x10000 + ((c - 0xD800) << 10) + (largo[++i] - 0xDC00));
        } else {
            texto.push_back(c >= 0xD800 && c <= 0xDFFF ? U'\uFFFD' : c);
        }
    }
    return texto;
}

}  // namespace velmora
