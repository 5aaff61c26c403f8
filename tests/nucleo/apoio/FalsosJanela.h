#pragma once

// What a window is built with, faked for its tests on either system: the engine, the question
// and the warning boxes, each keeping what it was asked.

#include <functional>
#include <string>
#include <vector>

#include "app/Aviso.h"
#include "app/MotorJanela.h"
#include "spooler/ChaveTimer.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Pergunta.h"

namespace velmora::teste {

class MotorFalso : public MotorJanela {
  public:
    explicit MotorFalso(ChaveTimer& timer) : timer(timer) {}

    Valores& valores() override { return valores_; }
    RegistroAtividade& registro() override { return registro_; }
    std::vector<InfoImpressora> impressoras() override {
        if (!erroImpressoras.empty()) throw ErroPlataforma(erroImpressoras);
        return listaImpressoras;
    }
    void timerImpressao_Timer() override { ++ciclos; }

    ChaveTimer& timer;
    std::vector<InfoImpressora> listaImpressoras;
    std::string erroImpressoras;  // when set, listing the printers fails with it
    int ciclos = 0;

  private:
    Valores valores_;
    RegistroAtividade registro_;
};

class PerguntaFalsa : public Pergunta {
  public:
    bool sim(const std::string& mensagem) override {
        perguntas.push_back(mensagem);
        if (aoPerguntar) aoPerguntar();
        return resposta;
    }

    bool resposta = true;
    std::vector<std::string> perguntas;
    std::function<void()> aoPerguntar;  // runs while the question is "open"
};

class AvisoFalso : public Aviso {
  public:
    void mostra(const std::string& texto) override { avisos.push_back(texto); }
    std::vector<std::string> avisos;
};

}  // namespace velmora::teste
