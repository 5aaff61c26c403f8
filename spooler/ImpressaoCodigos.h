#pragma once

#include <string>
#include <string_view>

#include "CamadaImpressao.h"
#include "CodigosImpressora.h"
#include "Decodificador.h"
#include "Formato.h"

namespace velmora {

// Whether the job carries anything for the printer codes to read: a control character other than
// the tab, line feed and form feed, or a CR that overprints its line.
bool temCodigos(std::string_view job);

// How a job read through its printer codes goes on the sheet: the size band by its printed width
// in 10-cpi columns, the sheet turned when the job asks for it, and, when the job sets its page
// length, the line pitch that puts that many lines on the sheet.
Formato formatoComCodigos(std::string_view job, LinguagemCodigos linguagem,
                          const std::string& codigo, const Papel& papel);

// Prints the lines of `job` (the byte stream the printer would receive) as its codes lay them
// out, at the size of `formato`. A line without codes, or too wide for the sheet, is printed as
// plain text by imprimeNoPapel.
void imprimeComCodigos(CamadaImpressao& impressora, std::string_view job,
                       LinguagemCodigos linguagem, const std::string& codigo,
                       const Decodificador& decodificador, const Formato& formato);

// Prints one line on paper at the job's size: tabs expanded, and a line wider than the page
// goes on over the following lines rather than being cut.
void imprimeNoPapel(CamadaImpressao& impressora, const std::u32string& linha,
                    const Formato& formato);

}  // namespace velmora
