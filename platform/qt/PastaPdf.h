#pragma once

#include <string>

#include <QString>

namespace velmora {

// Puts a finished PDF into `pasta` (created when missing) as <title without its last
// extension>.pdf, or -1, -2 ... before ".pdf" when that name is taken: nothing is ever
// overwritten. Gives the path written; throws ErroPlataforma with the reason otherwise.
std::string guardaPdf(const QString& pdf, const std::string& pasta, const std::string& titulo);

}  // namespace velmora
