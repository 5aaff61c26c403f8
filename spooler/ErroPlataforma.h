#pragma once

#include <stdexcept>

namespace velmora {

// Thrown by the platform interfaces; what() is the reason in words a person can read
// (for a file: the path and the system's message).
class ErroPlataforma : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace velmora
