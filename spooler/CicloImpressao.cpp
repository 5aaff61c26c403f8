#include "spooler/CicloImpressao.h"

#include <exception>
#include <iterator>
#include <optional>
#include <vector>

#include "spooler/LeitorJob.h"
#include "spooler/NomesJob.h"

namespace velmora {

namespace {

// The log and the timer belong to the window; a failure there must not stop the jobs.
void registra(RegistroAtividade& registro, const std::string& txtMsg) {
    try {
        registro.log(txtMsg);
    } catch (const std::exception&) {
    }
}

void desliga(ChaveTimer& timer) {
    try {
        timer.desliga();
    } catch (const std::exception&) {
    }
}

void liga(ChaveTimer& timer) {
    try {
        timer.liga();
    } catch (const std::exception&) {
    }
}

std::optional<InfoArquivo> infoOuNada(SistemaArquivos& arquivos, const std::string& caminho) {
    try {
        return arquivos.info(caminho);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool mesmoArquivo(const InfoArquivo& a, const InfoArquivo& b) {
    return a.tamanho == b.tamanho && a.modificadoNs == b.modificadoNs;
}

// Each kept lock holds a file open; a folder full of jobs that cannot be removed must not use up
// the process's descriptors, which the next jobs need.
constexpr std::size_t kTravasGuardadas = 64;

// The lock of a job, or null when another spooler holds it or has already handled the job. A
// file that cannot even be opened gets no lock: the reader then says why it cannot be read.
std::unique_ptr<TravaArquivo> travaOuNada(SistemaArquivos& arquivos, const std::string& caminho,
                                          bool& alheio) {
    alheio = false;
    try {
        std::unique_ptr<TravaArquivo> trava = arquivos.trava(caminho);
        alheio = trava == nullptr;
        return trava;
    } catch (const std::exception&) {
        return nullptr;
    }
}

// A remembered job that is gone needs no guard any more.
template <typename Mapa>
void esqueceSumidos(Mapa& naoRemovidos, SistemaArquivos& arquivos) {
    for (auto it = naoRemovidos.begin(); it != naoRemovidos.end();) {
        bool existe = true;
        try {
            existe = arquivos.existe(it->first);
        } catch (const std::exception&) {
        }
        it = existe ? std::next(it) : naoRemovidos.erase(it);
    }
}

// Gives a printed job its backup name (an older backup of that name is replaced) or deletes it.
// Returns the log line of the success, or throws with the reason.
std::string removeJob(SistemaArquivos& arquivos, const std::string& pasta, const std::string& nome,
                      bool comBackup) {
    const std::string caminho = pasta + nome;
    if (comBackup) {
        const std::string backup = pasta + nomeBackup(nome);
        try {
            if (!arquivos.lista(backup).empty()) arquivos.exclui(backup);
        } catch (const std::exception&) {
            // The rename below then fails or replaces it; either way it reports.
        }
        arquivos.renomeia(caminho, backup);
        return "Arquivo " + caminho + " impresso";
    }
    arquivos.exclui(caminho);
    return "Arquivo " + caminho + " excluido";
}

}  // namespace

CicloImpressao::CicloImpressao(Valores& valores, SistemaArquivos& arquivos,
                               DispositivosSaida& saida, Pergunta& pergunta, ChaveTimer& timer,
                               RegistroAtividade& registro)
    : valores_(valores),
      arquivos_(arquivos),
      saida_(saida),
      pergunta_(pergunta),
      timer_(timer),
      registro_(registro) {}

ResumoCiclo CicloImpressao::timerImpressao_Timer() {
    ResumoCiclo resumo;
    // Folder part and pattern come from one value, even if the settings change during a dialog.
    const std::string sLocal = valores_.sLocal;
    const std::string pasta = parteDaPasta(sLocal);
    if (sLocal.empty()) return resumo;

    esqueceSumidos(naoRemovidos_, arquivos_);

    // Names handled or passed over in this tick: each listing takes the first name not in it, so
    // the tick ends even when a job cannot be removed.
    std::set<std::string> vistos;
    for (;;) {
        std::vector<std::string> nomes;
        try {
            nomes = arquivos_.lista(sLocal);
        } catch (const std::exception&) {
            // An unreadable folder is a folder without jobs for this tick.
        }

        // One reading per job: the name that passed the backup guard is removed by the same rule.
        const bool comBackup = ligado(valores_.sBackup);
        std::string nome;
        std::optional<InfoArquivo> antes;
        std::unique_ptr<TravaArquivo> trava;
        for (const std::string& candidato : nomes) {
            if (!vistos.insert(candidato).second) continue;
            // A backup that the pattern also matches is never a job: printing it and "replacing"
            // it by itself would destroy it.
            if (comBackup && ehBackupDeSi(candidato)) continue;
            const std::string caminho = pasta + candidato;
            antes = infoOuNada(arquivos_, caminho);
            auto lembrado = naoRemovidos_.find(caminho);
            if (lembrado != naoRemovidos_.end()) {
                if (!antes || mesmoArquivo(*antes, lembrado->second.info)) continue;
                naoRemovidos_.erase(lembrado);  // changed since: a new job (and our lock goes)
            }
            try {
                // Half-written: a later tick takes it whole.
                if (arquivos_.emEscrita(caminho)) continue;
            } catch (const std::exception&) {
                // Not knowing is no reason to hold the job back; reading it will tell.
            }
            // Another spooler on this folder is handling it, or has just handled it: its
            // business, not an error of ours.
            bool alheio = false;
            trava = travaOuNada(arquivos_, caminho, alheio);
            if (alheio) continue;
            if (antes) {
                // What was listed may have been printed and removed, or replaced, by the one that
                // held the lock before us.
                const std::optional<InfoArquivo> agora = infoOuNada(arquivos_, caminho);
                if (!agora || !mesmoArquivo(*antes, *agora)) continue;
            }
            nome = candidato;
            break;
        }
        if (nome.empty()) break;

        const std::string caminho = pasta + nome;
        desliga(timer_);
        Resultado saida;
        try {
            JobLido job =
                le_conteudo(pasta, nome, valores_, arquivos_, saida_.decodificador, pergunta_);
            saida = job.lido ? Imprimir(job.texto, valores_, nome, saida_)
                             : Resultado::falha(job.motivo);
        } catch (const std::exception& e) {
            saida = Resultado::falha(e.what());
        }

        if (!saida.ok) {
            registra(registro_, "Erro ao imprimir o arquivo " + caminho + ": " + saida.motivo);
            ++resumo.falhas;
        } else {
            registra(registro_, "Arquivo " + caminho + " impresso");
            try {
                registra(registro_, removeJob(arquivos_, pasta, nome, comBackup));
                ++resumo.impressos;
            } catch (const std::exception& e) {
                registra(registro_, "Erro ao excluir o arquivo " + caminho + ": " + e.what());
                ++resumo.falhas;
                if (antes) {
                    if (naoRemovidos_.size() >= kTravasGuardadas) trava.reset();
                    naoRemovidos_[caminho] = NaoRemovido{*antes, std::move(trava)};
                }
            }
        }
        liga(timer_);
    }
    return resumo;
}

}  // namespace velmora
