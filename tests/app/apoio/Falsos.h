#pragma once

// Stand-ins for what the window is built with, so that tests see every call it makes.

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/Aviso.h"
#include "app/MotorJanela.h"
#include "app/linux/FrmVelmora.h"
#include "app/linux/IconesRecurso.h"
#include "app/nucleo/NotificacaoBandeja.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Pergunta.h"
#include "tests/nucleo/apoio/ShellFalso.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& texto, std::ostream* saida) { *saida << texto.toStdString(); }

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

// A window with fakes around it; the fakes outlive it.
class JanelaDeTeste {
  public:
    JanelaDeTeste();
    ~JanelaDeTeste();

    FrmVelmora& operator*() { return *janela; }
    FrmVelmora* operator->() { return janela.get(); }

    // The child named `nome`, which must exist.
    template <typename T>
    T* filho(const char* nome) {
        T* objeto = janela->findChild<T*>(QString::fromLatin1(nome));
        if (!objeto) ADD_FAILURE() << "sem o filho " << nome;
        return objeto;
    }

    IconesRecurso icones;
    ShellFalso shell;
    PerguntaFalsa pergunta;
    AvisoFalso aviso;
    MotorFalso* motor = nullptr;
    std::unique_ptr<FrmVelmora> janela;
};

}  // namespace velmora::teste
