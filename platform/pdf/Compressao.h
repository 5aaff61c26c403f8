#pragma once

#include <string>
#include <string_view>

namespace velmora::pdf {

// `dados` compressed for a FlateDecode stream, replacing what `saida` held. Level 1: on a dense
// report's pages the higher levels cost two to ten times the time for 3 to 12 % fewer bytes.
void comprime(std::string_view dados, std::string& saida);

}  // namespace velmora::pdf
