#pragma once

#include <string>
#include <vector>

#include "ArquivoPdf.h"
#include "FonteOpenType.h"

namespace velmora::pdf {

// Writes a face as a composite font at object `objeto`: Type0 with Identity-H over a CID font
// whose codes are the glyph numbers, the widths of the glyphs used, a ToUnicode map from
// `unicodes` (by glyph; 0 where unused) and the font file itself, compressed.
void embuteFonte(ArquivoPdf& arquivo, int objeto, const FonteOpenType& fonte,
                 const std::vector<char32_t>& unicodes);

}  // namespace velmora::pdf
