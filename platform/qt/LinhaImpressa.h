#pragma once

#include <string_view>

#include <QString>

namespace velmora {

// What of a job line is drawn: tabs expanded to 8-column stops, control characters left out
// (they have no glyph and would show as boxes), invalid code points as U+FFFD.
QString linhaImpressa(std::u32string_view texto);

}  // namespace velmora
