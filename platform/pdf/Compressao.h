#pragma once

#include <string>
#include <string_view>

namespace velmora::pdf {

// `dados` compressed for a FlateDecode stream, replacing what `saida` held. Level 1: on a
// report's pages it costs a fraction of the higher levels for a few per cent more bytes.
void comprime(std::string_view dados, std::string& saida);

}  // namespace velmora::pdf
