#pragma once

#include <cstdio>
#include <string>

namespace velmora::teste {

// A private cupsd (tests/apoio/cupsd-privado.sh) with the queues "velmora_pdf" (the default; its
// jobs land as PDF) and "velmora_bruta" (raw, into a TCP sink), for as long as the object lives.
// Points this process's CUPS clients at it. Needs root. Throws std::runtime_error with the
// harness's log when the server does not come up.
class CupsPrivado {
  public:
    CupsPrivado();
    ~CupsPrivado();
    CupsPrivado(const CupsPrivado&) = delete;
    CupsPrivado& operator=(const CupsPrivado&) = delete;

    // Where the jobs of a queue land.
    std::string saida(const std::string& fila) const;
    // Runs a harness function or any shell command against the server; throws on failure.
    void executa(const std::string& comando) const;
    // Until no job is pending (at most 30 s).
    void esperaJobs() const;

  private:
    std::string pasta_;
    FILE* controle_ = nullptr;  // the harness shell lives while this pipe is open
};

}  // namespace velmora::teste
