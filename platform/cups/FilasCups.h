#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/posix/PapelLocal.h"
#include "spooler/CamadaImpressao.h"

namespace velmora {

// The print queues of the CUPS server the user's environment points at. Without a reachable
// server there are no queues.

// Queues in libcups's order; a queue's port is its own name.
std::vector<InfoImpressora> filasCups();
// The default queue, or empty when there is none.
std::string filaPadraoCups();
// Whether `fila` names an installed queue (letter case ignored, as CUPS does).
bool existeFilaCups(const std::string& fila);

// The queue's default media, or nothing when the queue or the server does not say.
std::optional<TamanhoPapel> papelDaFila(const std::string& fila);

// Submits the file `arquivo` as one job to `fila` in `formato` (CUPS_FORMAT_PDF,
// CUPS_FORMAT_RAW). Throws ErroPlataforma with CUPS's reason when the job is not accepted whole;
// a job left half-sent is cancelled.
void enviaArquivoCups(const std::string& fila, const std::string& arquivo,
                      const std::string& titulo, const char* formato);

}  // namespace velmora
