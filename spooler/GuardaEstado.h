#pragma once

#include <string>

namespace velmora {

// A small text the spooler keeps from one run to the next (the printed jobs that could not be
// removed). Where it lies is the runner's choice. Failures throw ErroPlataforma with the reason.
class GuardaEstado {
  public:
    virtual ~GuardaEstado() = default;
    virtual std::string le() = 0;  // the empty text when nothing was kept yet
    virtual void grava(const std::string& texto) = 0;
};

}  // namespace velmora
