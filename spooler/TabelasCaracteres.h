#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Code pages that printer codes select, as iconv names; the empty text when the code names none
// that a job's text can be decoded with.

// ESC ( t: the code page a table is assigned, by its two bytes (1,0) = CP437, (29,n) = ISO 8859-n.
std::string codigoDaTabelaEpson(int d2, int d3);
// ESC [ T: the code page by its number (437, 850, ...).
std::string codigoIbm(int numero);
// PCL ESC ( #X: the symbol set by its number and letter (10U = PC-8 = CP437, 12U = PC-850).
std::string codigoDoConjuntoPcl(int numero, char letra);
// A DOS code page (CP437, IBM850, ...): what a printer's graphics table holds.
bool ehCodigoDos(std::string_view codigo);

}  // namespace velmora
