#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CamadaImpressao.h"
#include "Decodificador.h"
#include "Formato.h"
#include "Relogio.h"
#include "Resultado.h"
#include "SistemaArquivos.h"
#include "Valores.h"

namespace velmora {

// What the output needs of the platform.
struct DispositivosSaida {
    CamadaImpressao& impressora;
    SistemaArquivos& arquivos;
    const Decodificador& decodificador;
    Relogio& relogio;
};

// Outputs one job text: rendered on the printer sImpressora, or raw onto sPorta when sParalela is
// "1". `titulo` names the document in the print queue. Says whether the whole job was handed
// over, and why not.
Resultado Imprimir(const std::string& textoJob, const Valores& valores, const std::string& titulo,
                   DispositivosSaida& saida);

// Writes a job's raw output into the temporary file and returns the number of bytes written;
// throws to give up the job.
using GravaJob = std::function<std::uint64_t(ArquivoEscrita&)>;

// The raw path of Imprimir, whatever valores.sParalela says, with the job's bytes written by
// `gravaJob` straight from the job file instead of from a job text held whole.
Resultado ImprimirBruto(const GravaJob& gravaJob, const Valores& valores, const std::string& titulo,
                        DispositivosSaida& saida);

// Makes the first font of the current printer whose name starts with `prefixo` (any letter case)
// the printer's font; leaves the font as it was when none matches.
void SelecionarFonte(CamadaImpressao& impressora, const std::string& prefixo);

}  // namespace velmora
