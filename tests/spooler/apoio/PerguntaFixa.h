#pragma once

#include <string>
#include <vector>

#include "spooler/Pergunta.h"

namespace velmora::teste {

// Answers every question the same way and keeps the questions asked.
class PerguntaFixa : public Pergunta {
  public:
    explicit PerguntaFixa(bool resposta = false) : resposta(resposta) {}

    bool sim(const std::string& mensagem) override {
        perguntas.push_back(mensagem);
        return resposta;
    }

    bool resposta;
    std::vector<std::string> perguntas;
};

}  // namespace velmora::teste
