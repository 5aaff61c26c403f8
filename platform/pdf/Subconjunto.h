#pragma once

#include <string>
#include <vector>

#include "FonteOpenType.h"

namespace velmora::pdf {

// The font file cut down to the glyphs used (`unicodes`: by glyph, non-zero where used), every
// glyph keeping its number, since the pages already hold them. Empty when no subsetting
// library was built in or it refused the font: then the whole file goes in.
std::string subconjunto(const FonteOpenType& fonte, const std::vector<char32_t>& unicodes);

}  // namespace velmora::pdf
