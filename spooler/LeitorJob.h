#pragma once

#include <string>

#include "Decodificador.h"
#include "Pergunta.h"
#include "SistemaArquivos.h"
#include "Valores.h"

namespace velmora {

// Result of reading one job: its text (CR LF before every line) or, when the user declined to
// try again, the reason it could not be read.
struct JobLido {
    bool lido = false;
    std::string texto;
    std::string motivo;
};

// Reads the job file sRota + strArquivo whole, sets valores.iMaiorLinha, and asks "Deu erro ao
// abrir o arquivo ... Tentar novamente ?" for every failed attempt until the file is read or the
// answer is No.
JobLido le_conteudo(const std::string& sRota, const std::string& strArquivo, Valores& valores,
                    SistemaArquivos& arquivos, const Decodificador& decodificador,
                    Pergunta& pergunta);

}  // namespace velmora
