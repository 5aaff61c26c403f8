#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ChaveTimer.h"
#include "GuardaEstado.h"
#include "Pergunta.h"
#include "RegistroAtividade.h"
#include "Saida.h"
#include "SistemaArquivos.h"
#include "Valores.h"

namespace velmora {

// What one tick did, for the headless runner's exit status.
struct ResumoCiclo {
    int impressos = 0;  // jobs output whole
    int falhas = 0;     // jobs not output (left in place) or not removed after printing
};

// The watch-folder cycle: each tick takes every matching job of the folder, reads, prints, then
// renames or deletes it, and logs. A job is removed only after its whole output was handed over,
// and only if it is still the very file that was read; no file is handled twice in one tick.
// `estado`, when given, keeps the printed jobs that could not be removed across runs.
class CicloImpressao {
  public:
    CicloImpressao(Valores& valores, SistemaArquivos& arquivos, DispositivosSaida& saida,
                   Pergunta& pergunta, ChaveTimer& timer, RegistroAtividade& registro,
                   GuardaEstado* estado = nullptr);

    ResumoCiclo timerImpressao_Timer();

  private:
    struct Candidato {
        std::string pasta;
        std::string nome;
        std::optional<InfoArquivo> antes;  // as it was when its lock was taken
        std::unique_ptr<TravaArquivo> trava;
    };
    std::optional<Candidato> proximo(const std::vector<std::string>& padroes,
                                     std::set<std::string>& vistos,
                                     std::map<std::string, std::string>& cursores, bool comBackup);
    void trata(Candidato& job, bool comBackup, ResumoCiclo& resumo);
    // The raw path, streamed from the job file into the port's temporary file.
    Resultado imprimeBruto(Candidato& job, const std::function<bool()>& continuaOMesmo,
                           bool& recusado, bool& mudouNaLeitura);
    void avisaPadroes(const std::vector<std::string>& padroes);
    void carregaEstado();
    void gravaEstado();

    Valores& valores_;
    SistemaArquivos& arquivos_;
    DispositivosSaida& saida_;
    Pergunta& pergunta_;
    ChaveTimer& timer_;
    RegistroAtividade& registro_;
    // A printed job that could not be removed, with the size and time it had then: not printed
    // again while it stays unchanged. Its lock is kept (up to a limit) so that another spooler on
    // the folder does not print it either.
    struct NaoRemovido {
        InfoArquivo info;
        std::unique_ptr<TravaArquivo> trava;
    };
    std::map<std::string, NaoRemovido> naoRemovidos_;
    GuardaEstado* estado_;
    bool estadoCarregado_ = false;
    // Jobs whose reading the user gave up, as they were then: not asked about again until they
    // change.
    std::map<std::string, InfoArquivo> recusados_;
    // The problems of sLocal already logged, so each is logged once while it lasts.
    std::set<std::string> avisos_;
};

}  // namespace velmora
