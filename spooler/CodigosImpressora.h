#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Lengths on the page are in 1/2160 inch: every pitch, spacing and move of the printers' command
// sets is a whole number of them (10 cpi = 216, 17.14 cpi = 126, 1/6 inch = 360).
inline constexpr int kUnidadesPorPolegada = 2160;
inline constexpr int kColuna10Cpi = kUnidadesPorPolegada / 10;

// The command set a job is read in. `nenhum` leaves every code uninterpreted: control characters
// are dropped and the rest of a command prints as text.
enum class LinguagemCodigos { epson, ibm, pcl, nenhum };

// The language named by VELMORA_CODIGOS ("epson", "ibm", "pcl", "nenhum"), in any letter case.
std::optional<LinguagemCodigos> linguagemPorNome(std::string_view nome);

// PCL when the job shows PCL's syntax (ESC E before ESC & + letter, ESC ( s or ESC ( digit, or any
// ESC & l or ESC ( s); otherwise Epson.
LinguagemCodigos detectaLinguagem(std::string_view job);

enum class PosicaoVertical { normal, sobrescrito, subscrito };

struct Atributos {
    bool negrito = false;
    bool italico = false;
    bool sublinhado = false;
    bool larguraDupla = false;
    bool alturaDupla = false;
    PosicaoVertical posicao = PosicaoVertical::normal;
    double cpi = 10;    // pitch the job chose, before double width
    double pontos = 0;  // point size the job asked for; 0: the size that goes with the pitch

    bool operator==(const Atributos&) const = default;
};

// Characters side by side with the same attributes and code page.
struct Trecho {
    std::string texto;  // the job's bytes, undecoded; one character cell per character
    Atributos atributos;
    int x = 0;                   // left edge, from the left edge of the printable area
    int larguraCaractere = 216;  // advance of each character (double width and extra space in)
    std::string codigo;          // code page to decode `texto` with (an iconv name)
    int conjuntoNacional = 0;    // ESC R international set (0: USA); see comConjuntoNacional

    bool operator==(const Trecho&) const = default;
};

// One printed line and how the paper moves after it.
struct Linha {
    std::vector<Trecho> trechos;  // in order of x; a line may have none
    int avancoVertical = 0;       // down to the next line; 0 when the page ends
    bool novaPagina = false;      // the page ends after this line
    int alturaPagina = 0;         // page length the job set; 0: the sheet's
    int linhasPagina = 0;         // the same in lines at the spacing of that moment
    bool paisagem = false;        // orientation the job chose (PCL)
    // Printed width in 10-cpi columns, from the first to the last character that is not blank:
    // a condensed 132-column line is 77, a double-width title counts double.
    double larguraColunas = 0;
};

// Interprets the printer codes of one job and hands out its printed lines one by one; modes,
// tabs and page length carry from line to line as on the printer.
//
// `job` is the byte stream the printer would receive; it must outlive the object. The reader's
// job text without the CR LF in front of its first line is such a stream; where the reader keeps
// a lone CR inside a line, that line is overprinted. CR LF, LF, FF, VT, ESC J (which keeps the
// horizontal position) and a CR that ends the job end a line; a CR followed by anything else
// returns to the left margin and what follows overprints the line. With `nenhum` a line ends at
// CR or CR LF, as the reader splits lines. `codigoJob` is the code page chosen for the whole job
// (an iconv name); the runs carry it until a code inside the job selects another one (ESC t 1,
// the printer's graphics table, keeps it when it is a DOS code page, else CP437). A UTF-8 job
// keeps each character's bytes in one cell.
class CodigosImpressora {
  public:
    CodigosImpressora(std::string_view job, LinguagemCodigos linguagem, std::string codigoJob);
    ~CodigosImpressora();
    CodigosImpressora(const CodigosImpressora&) = delete;
    CodigosImpressora& operator=(const CodigosImpressora&) = delete;

    // The next printed line; false when the job has no more.
    bool proxima(Linha& linha);

  private:
    class Interpretador;
    std::unique_ptr<Interpretador> interpretador_;
};

// The widest printed line of a job, in 10-cpi columns.
double maiorLarguraColunas(std::string_view job, LinguagemCodigos linguagem,
                           const std::string& codigoJob);

// `texto` decoded from a run whose conjuntoNacional is `conjunto`: the twelve ASCII characters that
// an ESC R set replaces (# $ @ [ \ ] ^ ` { | } ~) become that country's characters.
std::u32string comConjuntoNacional(std::u32string texto, int conjunto);

}  // namespace velmora
