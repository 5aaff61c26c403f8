#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SistemaArquivos.h"

namespace velmora {

// The raw path's reading of a job: the file sRota + strArquivo read in fixed blocks and handed to
// `destino` as the bytes the raw output holds, the same that Imprimir writes from le_conteudo's
// text: every line followed by CR LF (a lone CR becomes CR LF), with no whole-job text and no
// width measure, so that memory stays flat whatever the job's size. `trava` is the job's lock,
// read through where it holds the file. Returns the reason the file could not be read, or
// nothing; a failure of `destino` is thrown on as it came.
std::optional<std::string> le_linhas_brutas(const std::string& sRota, const std::string& strArquivo,
                                            SistemaArquivos& arquivos, TravaArquivo* trava,
                                            const std::function<void(std::string_view)>& destino);

// The reader's question after a failed attempt to read the job file `caminho`.
std::string perguntaDeReleitura(const std::string& caminho);

}  // namespace velmora
