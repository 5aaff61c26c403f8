#pragma once

#include <deque>
#include <functional>
#include <string>

namespace velmora {

// The activity log: newest message first, each followed by CR LF, never more than 30,000
// characters. It lives only in memory (the window shows it).
class RegistroAtividade {
  public:
    static constexpr std::size_t kLimite = 30000;

    void log(const std::string& txtMsg);
    const std::string& texto() const;

    // Called with every message as it is logged (the window's text box, the headless stdout).
    std::function<void(const std::string&)> aoRegistrar;

  private:
    struct Linha {
        std::string texto;  // the message and its CR LF
        std::size_t caracteres;
    };
    // Newest first. Only lines that still reach into the first kLimite characters are kept; the
    // text is put together when it is asked for, so logging a line costs the line alone.
    std::deque<Linha> linhas_;
    std::size_t caracteres_ = 0;  // of all of linhas_, the cut not yet made
    mutable std::string texto_;
    mutable bool montado_ = true;
};

}  // namespace velmora
