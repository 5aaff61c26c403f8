#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace velmora {

// What of a job line is drawn: tabs expanded to 8-column stops, control characters left out
// (they have no glyph and would show as boxes), invalid code points as U+FFFD.
QString linhaImpressa(std::u32string_view texto);
// The same characters, as code points.
std::u32string caracteresImpressos(std::u32string_view texto);

// Whether a character is drawn as a glyph of its own, with no shaping: Latin, Greek, Cyrillic,
// punctuation, symbols and box drawing, but no combining mark and no script that joins or
// reorders its letters.
bool semModelagem(char32_t c);

}  // namespace velmora
