#include "spooler/CicloImpressao.h"

#include <exception>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

#include "spooler/ErroPlataforma.h"
#include "spooler/LeitorBruto.h"
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
bool esqueceSumidos(Mapa& lembrados, SistemaArquivos& arquivos) {
    bool esqueceu = false;
    for (auto it = lembrados.begin(); it != lembrados.end();) {
        bool existe = true;
        try {
            existe = arquivos.existe(it->first);
        } catch (const std::exception&) {
        }
        esqueceu = esqueceu || !existe;
        it = existe ? std::next(it) : lembrados.erase(it);
    }
    return esqueceu;
}

// The kept jobs, one a line: device, inode, size, time, then the path to the end of the line.
std::string textoDoEstado(const std::map<std::string, InfoArquivo>& jobs) {
    std::ostringstream texto;
    for (const auto& [caminho, info] : jobs) {
        // A path with a line break would read back as two; such a job is remembered in this run
        // only.
        if (caminho.find('\n') != std::string::npos) continue;
        texto << info.dispositivo << ' ' << info.indice << ' ' << info.tamanho << ' '
              << info.modificadoNs << ' ' << caminho << '\n';
    }
    return texto.str();
}

std::map<std::string, InfoArquivo> jobsDoEstado(const std::string& texto) {
    std::map<std::string, InfoArquivo> jobs;
    std::istringstream linhas(texto);
    std::string linha;
    while (std::getline(linhas, linha)) {
        std::istringstream campos(linha);
        InfoArquivo info;
        std::string caminho;
        campos >> info.dispositivo >> info.indice >> info.tamanho >> info.modificadoNs;
        campos.get();
        std::getline(campos, caminho);
        // A damaged line only costs that job a second print.
        if (campos.fail() || caminho.empty()) continue;
        jobs[caminho] = info;
    }
    return jobs;
}

// Gives a printed job its backup name (an older backup of that name is replaced) or deletes it.
// Returns the log line of the success, or throws with the reason.
std::string removeJob(SistemaArquivos& arquivos, const std::string& pasta, const std::string& nome,
                      bool comBackup) {
    const std::string caminho = pasta + nome;
    if (comBackup) {
        const std::string backup = pasta + nomeBackup(nome);
        try {
            if (arquivos.existe(backup)) arquivos.exclui(backup);
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
                               RegistroAtividade& registro, GuardaEstado* estado)
    : valores_(valores),
      arquivos_(arquivos),
      saida_(saida),
      pergunta_(pergunta),
      timer_(timer),
      registro_(registro),
      estado_(estado) {}

ResumoCiclo CicloImpressao::timerImpressao_Timer() {
    ResumoCiclo resumo;
    // Folder parts and patterns come from one value, even if the settings change during a dialog.
    const std::string sLocal = valores_.sLocal;
    if (sLocal.empty()) return resumo;
    const std::vector<std::string> padroes = padroesDoLocal(sLocal);
    avisaPadroes(padroes);

    carregaEstado();
    if (esqueceSumidos(naoRemovidos_, arquivos_)) gravaEstado();
    esqueceSumidos(recusados_, arquivos_);

    // Paths handled or passed over in this tick, and for each pattern the last name taken: the
    // listing goes on after it, so the tick ends even when a job cannot be removed, and a folder
    // of many jobs costs no walk over the names already done.
    std::set<std::string> vistos;
    std::map<std::string, std::string> cursores;
    for (;;) {
        // One reading per job: the name that passed the backup guard is removed by the same rule.
        const bool comBackup = ligado(valores_.sBackup);
        std::optional<Candidato> job = proximo(padroes, vistos, cursores, comBackup);
        if (!job) break;
        trata(*job, comBackup, resumo);
    }
    return resumo;
}

std::optional<CicloImpressao::Candidato> CicloImpressao::proximo(
    const std::vector<std::string>& padroes, std::set<std::string>& vistos,
    std::map<std::string, std::string>& cursores, bool comBackup) {
    for (const std::string& padrao : padroes) {
        const std::string pasta = parteDaPasta(padrao);
        std::string& cursor = cursores[padrao];
        for (;;) {
            std::optional<std::string> proximoNome;
            try {
                proximoNome = arquivos_.proximoNome(padrao, cursor);
            } catch (const std::exception&) {
                // An unreadable folder is a folder without jobs for this tick.
            }
            if (!proximoNome) break;
            cursor = std::move(*proximoNome);
            const std::string& nome = cursor;
            const std::string caminho = pasta + nome;
            if (!vistos.insert(caminho).second) continue;
            // A backup that the pattern also matches is never a job: printing it and "replacing"
            // it by itself would destroy it.
            if (comBackup && ehBackupDeSi(nome)) continue;
            std::optional<InfoArquivo> antes = infoOuNada(arquivos_, caminho);
            auto lembrado = naoRemovidos_.find(caminho);
            if (lembrado != naoRemovidos_.end()) {
                if (!antes || mesmoArquivo(*antes, lembrado->second.info)) continue;
                naoRemovidos_.erase(lembrado);  // changed since: a new job (and our lock goes)
                gravaEstado();
            }
            auto recusado = recusados_.find(caminho);
            if (recusado != recusados_.end()) {
                if (antes && mesmoArquivo(*antes, recusado->second) &&
                    antes->permissoes == recusado->second.permissoes) {
                    continue;
                }
                recusados_.erase(recusado);
            }
            // Another spooler on this folder is handling it, or has just handled it: its
            // business, not an error of ours.
            bool alheio = false;
            std::unique_ptr<TravaArquivo> trava = travaOuNada(arquivos_, caminho, alheio);
            if (alheio) continue;
            try {
                // Half-written: a later tick takes it whole.
                if (trava ? arquivos_.emEscritaPelaTrava(caminho, *trava)
                          : arquivos_.emEscrita(caminho)) {
                    continue;
                }
            } catch (const std::exception&) {
                // Not knowing is no reason to hold the job back; reading it will tell.
            }
            if (antes) {
                // What was listed may have been printed and removed, or replaced, by the one that
                // held the lock before us.
                std::optional<InfoArquivo> agora = trava ? trava->info() : std::nullopt;
                if (!agora) agora = infoOuNada(arquivos_, caminho);
                if (!agora || !mesmoArquivo(*antes, *agora)) continue;
            }
            return Candidato{pasta, nome, antes, std::move(trava)};
        }
    }
    return std::nullopt;
}

void CicloImpressao::trata(Candidato& job, bool comBackup, ResumoCiclo& resumo) {
    const std::string caminho = job.pasta + job.nome;
    // The file as it is now, measured against what was read: only that file may leave the folder.
    const auto continuaOMesmo = [&] {
        if (!job.antes) return true;
        const std::optional<InfoArquivo> agora = infoOuNada(arquivos_, caminho);
        return agora && mesmoArquivo(*job.antes, *agora);
    };

    desliga(timer_);
    Resultado saida;
    bool recusado = false;
    bool mudouNaLeitura = false;
    try {
        if (ligado(valores_.sParalela)) {
            saida = imprimeBruto(job, continuaOMesmo, recusado, mudouNaLeitura);
        } else if (JobLido lido = le_conteudo(job.pasta, job.nome, valores_, arquivos_,
                                              saida_.decodificador, pergunta_);
                   !lido.lido) {
            recusado = true;
            saida = Resultado::falha(lido.motivo);
        } else if (!continuaOMesmo()) {
            mudouNaLeitura = true;
        } else {
            saida = Imprimir(lido.texto, valores_, job.nome, saida_);
        }
    } catch (const std::exception& e) {
        saida = Resultado::falha(e.what());
    }

    if (mudouNaLeitura) {
        registra(registro_, "Arquivo " + caminho +
                                " foi alterado durante a leitura; fica para o próximo ciclo");
    } else if (!saida.ok) {
        registra(registro_, "Erro ao imprimir o arquivo " + caminho + ": " + saida.motivo);
        ++resumo.falhas;
        if (recusado && job.antes) {
            recusados_[caminho] = *job.antes;
            registra(registro_, "Arquivo " + caminho +
                                    " ignorado até ser alterado ou o Velmora ser reiniciado");
        }
    } else {
        registra(registro_, "Arquivo " + caminho + " impresso");
        if (!continuaOMesmo()) {
            ++resumo.impressos;
            // Written anew under the same name while it printed: the new content is a new job.
            registra(registro_, "Arquivo " + caminho +
                                    " foi alterado durante a impressão; não foi excluído e "
                                    "será impresso de novo como um novo trabalho");
        } else {
            try {
                registra(registro_, removeJob(arquivos_, job.pasta, job.nome, comBackup));
                ++resumo.impressos;
            } catch (const std::exception& e) {
                registra(registro_, "Erro ao excluir o arquivo " + caminho + ": " + e.what());
                ++resumo.falhas;
                if (job.antes) {
                    if (naoRemovidos_.size() >= kTravasGuardadas) job.trava.reset();
                    naoRemovidos_[caminho] = NaoRemovido{*job.antes, std::move(job.trava)};
                    gravaEstado();
                }
            }
        }
    }
    liga(timer_);
}

Resultado CicloImpressao::imprimeBruto(Candidato& job, const std::function<bool()>& continuaOMesmo,
                                       bool& recusado, bool& mudouNaLeitura) {
    const std::string caminho = job.pasta + job.nome;
    for (;;) {
        std::optional<std::string> falhaLeitura;
        const Resultado saida = ImprimirBruto(
            [&](ArquivoEscrita& arquivo) {
                std::uint64_t escritos = 0;
                falhaLeitura = le_linhas_brutas(job.pasta, job.nome, arquivos_, job.trava.get(),
                                                [&](std::string_view bytes) {
                                                    arquivo.escreve(bytes);
                                                    escritos += bytes.size();
                                                });
                if (falhaLeitura) throw ErroPlataforma(*falhaLeitura);
                // Nothing has reached the port yet: a job changed meanwhile waits whole.
                mudouNaLeitura = !continuaOMesmo();
                if (mudouNaLeitura) throw ErroPlataforma("alterado durante a leitura");
                return escritos;
            },
            valores_, job.nome, saida_);
        if (!falhaLeitura) return saida;
        // Every attempt writes a new temporary file from the start, so a retry never repeats
        // lines.
        if (!pergunta_.sim(perguntaDeReleitura(caminho))) {
            recusado = true;
            return Resultado::falha(*falhaLeitura);
        }
    }
}

void CicloImpressao::avisaPadroes(const std::vector<std::string>& padroes) {
    std::set<std::string> avisos;
    for (const std::string& padrao : padroes) {
        const std::string pasta = parteDaPasta(padrao);
        if (padrao.find('\\') != std::string::npos && pasta.empty()) {
            avisos.insert("LOCAL " + padrao +
                          ": as pastas se separam com / (a \\ é do Windows); nenhum arquivo "
                          "corresponde a este padrão");
            continue;
        }
        bool existe = true;
        try {
            existe = pasta.empty() || arquivos_.existePasta(pasta);
        } catch (const std::exception&) {
            // Not knowing is no reason to complain; the listing will find what it can.
        }
        if (!existe) avisos.insert("LOCAL " + padrao + ": a pasta " + pasta + " não existe");
    }
    for (const std::string& aviso : avisos) {
        if (!avisos_.count(aviso)) registra(registro_, aviso);
    }
    avisos_ = std::move(avisos);
}

void CicloImpressao::carregaEstado() {
    if (estadoCarregado_ || estado_ == nullptr) return;
    estadoCarregado_ = true;
    try {
        for (auto& [caminho, info] : jobsDoEstado(estado_->le())) {
            naoRemovidos_.emplace(caminho, NaoRemovido{info, nullptr});
        }
    } catch (const std::exception& e) {
        registra(registro_, "Erro ao ler a lista de arquivos impressos e não excluídos: " +
                                std::string(e.what()));
    }
}

void CicloImpressao::gravaEstado() {
    if (estado_ == nullptr) return;
    std::map<std::string, InfoArquivo> jobs;
    for (const auto& [caminho, lembrado] : naoRemovidos_) jobs.emplace(caminho, lembrado.info);
    try {
        estado_->grava(textoDoEstado(jobs));
    } catch (const std::exception& e) {
        registra(registro_, "Erro ao gravar a lista de arquivos impressos e não excluídos: " +
                                std::string(e.what()));
    }
}

}  // namespace velmora
