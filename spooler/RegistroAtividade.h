#pragma once

#include <functional>
#include <string>

namespace velmora {

// The activity log: newest message first, each followed by CR LF, never more than 30,000
// characters. It lives only in memory (the window shows it).
class RegistroAtividade {
  public:
    static constexpr std::size_t kLimite = 30000;

    void log(const std::string& txtMsg);
    const std::string& texto() const { return texto_; }

    // Called with every message as it is logged (the window's text box, the headless stdout).
    std::function<void(const std::string&)> aoRegistrar;

  private:
    std::string texto_;
    std::size_t caracteres_ = 0;  // of texto_: the cut needs no walk over the whole log
};

}  // namespace velmora
