#pragma once

#include <concepts>
#include <string>
#include <string_view>

// Pieces of PDF syntax, appended to the text being built.
namespace velmora::pdf {

// A number with at most two decimals, without trailing zeros ("72", "806.5", "-1.25").
void numero(std::string& saida, double valor);
void inteiro(std::string& saida, long long valor);
template <std::integral T>
void numero(std::string& saida, T valor) {
    inteiro(saida, static_cast<long long>(valor));
}

// A reference to an object: "12 0 R".
void referencia(std::string& saida, int objeto);

// A UTF-8 text as a PDF text string: a literal string when it is printable ASCII, otherwise
// UTF-16BE with its byte-order mark. Bytes that are no valid UTF-8 become U+FFFD.
void textoPdf(std::string& saida, std::string_view utf8);

// A name object ("/Nimbus#20Mono"), for any bytes.
void nomePdf(std::string& saida, std::string_view nome);

// A code point in UTF-16BE, four hexadecimal digits a unit, upper case.
void utf16(std::string& saida, char32_t ponto);

}  // namespace velmora::pdf
