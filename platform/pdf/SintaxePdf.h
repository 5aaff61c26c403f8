#pragma once

#include <string>
#include <string_view>

// Pieces of PDF syntax, appended to the text being built.
namespace velmora::pdf {

// A number with at most two decimals, without trailing zeros ("72", "806.5", "-1.25").
void numero(std::string& saida, double valor);
void numero(std::string& saida, long long valor);

// A UTF-8 text as a PDF text string: a literal string when it is printable ASCII, otherwise
// UTF-16BE with its byte-order mark. Bytes that are no valid UTF-8 become U+FFFD.
void textoPdf(std::string& saida, std::string_view utf8);

// A name object ("/Nimbus#20Mono"), for any bytes.
void nomePdf(std::string& saida, std::string_view nome);

// Four hexadecimal digits, upper case.
void hex4(std::string& saida, unsigned valor);

}  // namespace velmora::pdf
