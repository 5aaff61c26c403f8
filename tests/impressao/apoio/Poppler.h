#pragma once

#include <string>
#include <vector>

// Reads PDF files back with poppler's command-line tools. Throws std::runtime_error when a tool
// fails, with its command line.
namespace velmora::teste {

// Output of a shell command; throws, with the output, when it exits with a failure.
std::string executa(const std::string& comando);
std::string aspas(const std::string& texto);  // quoted for the shell

// Text of each page (pdftotext -layout), in order.
std::vector<std::string> paginasPdf(const std::string& pdf);
// Embedded font names as pdffonts lists them (a subset prefix such as "ABCDEF+" removed).
std::vector<std::string> fontesPdf(const std::string& pdf);
// One field of pdfinfo, e.g. "Title"; empty when absent.
std::string campoPdf(const std::string& pdf, const std::string& campo);

struct Palavra {
    int pagina = 0;  // from 1
    std::string texto;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points
};
// Every word with its box (pdftotext -bbox), in reading order.
std::vector<Palavra> palavrasPdf(const std::string& pdf);
// The first word whose text is `texto`; throws when there is none.
Palavra palavra(const std::vector<Palavra>& palavras, const std::string& texto);

// Lines of a page's text with trailing blanks removed and blank lines dropped.
std::vector<std::string> linhasCheias(const std::string& pagina);

}  // namespace velmora::teste
