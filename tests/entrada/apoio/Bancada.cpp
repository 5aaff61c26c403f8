#include "Bancada.h"

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace velmora::teste {

namespace fs = std::filesystem;

namespace {

struct TimerParado : ChaveTimer {
    void liga() override {}
    void desliga() override {}
};

}  // namespace

std::string leInteiro(const std::string& caminho) {
    std::ifstream entrada(caminho, std::ios::binary | std::ios::ate);
    if (!entrada) throw std::runtime_error("não abriu " + caminho);
    std::string conteudo(static_cast<std::size_t>(entrada.tellg()), '\0');
    entrada.seekg(0);
    if (!entrada.read(conteudo.data(), static_cast<std::streamsize>(conteudo.size()))) {
        throw std::runtime_error("não leu " + caminho);
    }
    return conteudo;
}

void ImpressoraGravadoraGrande::copiaBruto(const std::string& arquivo, const std::string& porta,
                                           const std::string& titulo) {
    arquivoBruto = arquivo;
    bytesBrutos = leInteiro(arquivo);
    chamadas.push_back("bruto " + porta + " " + titulo);
}

Bancada::Bancada() {
    std::string modelo = (fs::temp_directory_path() / "velmora-entrada-XXXXXX").string();
    if (::mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp falhou");
    pasta_ = modelo + "/";
    valores.sImpressora = "Velmora PDF";
    valores.sBackup = "1";
    valores.sParalela = "0";
    impressora.instaladas = {{"Velmora PDF", "velmora-pdf"}};
    impressora.fontes = {"Courier"};
    decodificador = std::make_unique<DecodificadorIconv>();
}

Bancada::~Bancada() {
    std::error_code erro;
    fs::remove_all(pasta_, erro);
}

void Bancada::escreve(const std::string& nome, std::string_view conteudo) const {
    const std::string caminho = pasta_ + nome;
    {
        std::ofstream saida(caminho, std::ios::binary | std::ios::trunc);
        saida.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
        if (!saida.flush()) throw std::runtime_error("não gravou " + caminho);
    }
    fs::last_write_time(caminho, fs::file_time_type::clock::now() - std::chrono::minutes(10));
}

std::string Bancada::le(const std::string& nome) const { return leInteiro(pasta_ + nome); }

std::vector<std::string> Bancada::naPasta() const {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta_)) nomes.push_back(e.path().filename());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

ResumoCiclo Bancada::tique(const std::string& padrao) {
    valores.sLocal = pasta_ + padrao;
    TimerParado timer;
    RegistroAtividade registro;
    registro.aoRegistrar = [this](const std::string& m) { mensagens.push_back(m); };
    DispositivosSaida saida{impressora, arquivos, *decodificador, relogio};
    CicloImpressao ciclo(valores, arquivos, saida, pergunta, timer, registro);
    return ciclo.timerImpressao_Timer();
}

std::vector<std::string> Bancada::linhasImpressas(const std::string& titulo) const {
    std::vector<std::string> linhas;
    bool doTrabalho = false;
    for (const std::string& chamada : impressora.chamadas) {
        if (chamada.rfind("titulo ", 0) == 0) doTrabalho = chamada == "titulo " + titulo;
        if (doTrabalho && chamada.rfind("linha ", 0) == 0) linhas.push_back(chamada.substr(6));
    }
    return linhas;
}

}  // namespace velmora::teste
