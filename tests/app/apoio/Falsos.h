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
#include "tests/nucleo/apoio/FalsosJanela.h"
#include "tests/nucleo/apoio/ShellFalso.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& texto, std::ostream* saida) { *saida << texto.toStdString(); }

namespace velmora::teste {

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
