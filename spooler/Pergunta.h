#pragma once

#include <string>

namespace velmora {

// A modal Yes/No question. The window shows a box; tests and the headless runner answer it.
class Pergunta {
  public:
    virtual ~Pergunta() = default;
    virtual bool sim(const std::string& mensagem) = 0;  // true for Yes
};

}  // namespace velmora
