#pragma once

#include <optional>

#include <QFont>

#include "platform/pdf/EscritorPdf.h"

namespace velmora {

// The font files of the four faces (normal, bold, italic, bold italic) of `fonte`'s family, as
// fontconfig matches them, which is also what Qt draws on Linux. Nothing when the family has no
// fixed pitch or a face is no OpenType file the PDF writer can embed.
std::optional<FacesFonte> facesDoSistema(const QFont& fonte);

}  // namespace velmora
