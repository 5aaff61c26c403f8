#include "Velmora_INI.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "settings/CaminhoUtf8.h"

namespace velmora {

namespace {

CodificacaoIni codificacao_;

// Five lines of at most 32,766 characters fit many times over; memory stays bounded.
constexpr std::size_t kMaiorIni = 16u << 20;

// errno right after the failing call, in words; libstdc++ streams leave it set by the C library.
std::string motivo(int codigo) {
    if (codigo == 0) return "motivo desconhecido";
    return std::generic_category().message(codigo);
}

[[noreturn]] void falha(const char* acao, const std::string& caminho, int codigo) {
    throw ErroIni(std::string("Não foi possível ") + acao + " o arquivo de configuração " +
                  caminho + ": " + motivo(codigo));
}

std::string aparaBrancos(std::string_view texto) {
    const auto inicio = texto.find_first_not_of(' ');
    if (inicio == std::string_view::npos) return {};
    const auto fim = texto.find_last_not_of(' ');
    return std::string(texto.substr(inicio, fim - inicio + 1));
}

bool arquivoPresente(const std::string& caminho) {
    std::error_code erro;
    return std::filesystem::is_regular_file(caminhoUtf8(caminho), erro);
}

// A FIFO would hang the open, and a device such as /dev/zero never ends: neither is a settings
// file to read. Writing refuses only what can hang; folders are left to the open, which names them.
void recusaEspecial(const char* acao, const std::string& caminho, bool soOQueTrava) {
    std::error_code erro;
    const auto estado = std::filesystem::status(caminhoUtf8(caminho), erro);
    if (erro || !std::filesystem::exists(estado)) return;
    const bool trava = std::filesystem::is_fifo(estado) || std::filesystem::is_socket(estado);
    const bool comum =
        std::filesystem::is_regular_file(estado) || std::filesystem::is_directory(estado);
    if (soOQueTrava ? !trava : comum) return;
    throw ErroIni(std::string("Não foi possível ") + acao + " o arquivo de configuração " +
                  caminho + ": não é um arquivo comum");
}

std::string leConteudo(const std::string& caminho) {
    errno = 0;
    std::ifstream entrada(caminhoUtf8(caminho), std::ios::binary);
    if (!entrada.is_open()) falha("abrir", caminho, errno);

    std::string conteudo;
    char bloco[8192];
    while (true) {
        errno = 0;
        entrada.read(bloco, sizeof bloco);
        conteudo.append(bloco, static_cast<std::size_t>(entrada.gcount()));
        if (conteudo.size() > kMaiorIni) {
            throw ErroIni("Não foi possível ler o arquivo de configuração " + caminho +
                          ": arquivo grande demais (mais de 16 MiB)");
        }
        // A read error (a folder, an I/O fault) sets badbit; the end of the file only eof/fail.
        if (entrada.bad()) falha("ler", caminho, errno);
        if (!entrada) break;
    }
    return conteudo;
}

void guardaValor(Configuracao& cfg, const std::string& linha) {
    const std::string chave = ChaveIni(linha);
    if (chave == "LOCAL") {
        cfg.sLocal = ValorIni(linha);
    } else if (chave == "IMPRESSORA") {
        cfg.sImpressora = ValorIni(linha);
    } else if (chave == "BACKUP") {
        cfg.sBackup = ValorIni(linha);
    } else if (chave == "PARALELA") {
        cfg.sParalela = ValorIni(linha);
    } else if (chave == "PORTA") {
        cfg.sPorta = ValorIni(linha);
    }
}

}  // namespace

void defineCodificacaoIni(CodificacaoIni codificacao) { codificacao_ = std::move(codificacao); }

void LerIni(Configuracao& cfg, const std::string& caminho) {
    const std::string arquivo = caminho;
    recusaEspecial("ler", arquivo, false);
    if (!arquivoPresente(arquivo) || arquivo.empty()) GravarIni(cfg, cfg.sArquivoIni);

    std::string conteudo = leConteudo(arquivo);
    if (codificacao_.paraUtf8) conteudo = codificacao_.paraUtf8(conteudo);
    std::string_view resto = conteudo;
    if (resto.starts_with(kMarcaUtf8)) resto.remove_prefix(kMarcaUtf8.size());

    // CR, CR LF and, for files saved by Linux editors, a lone LF all end a line.
    while (!resto.empty()) {
        const auto fim = resto.find_first_of("\r\n");
        const std::string linha(resto.substr(0, fim));
        guardaValor(cfg, linha);
        if (fim == std::string_view::npos) break;
        std::size_t salto = 1;
        if (resto[fim] == '\r' && fim + 1 < resto.size() && resto[fim + 1] == '\n') salto = 2;
        resto.remove_prefix(fim + salto);
    }
}

void GravarIni(const Configuracao& cfg, const std::string& caminho) {
    std::string conteudo;
    conteudo.reserve(64 + cfg.sLocal.size() + cfg.sImpressora.size() + cfg.sBackup.size() +
                     cfg.sParalela.size() + cfg.sPorta.size());
    conteudo += "LOCAL = " + cfg.sLocal + "\r\n";
    conteudo += "IMPRESSORA = " + cfg.sImpressora + "\r\n";
    conteudo += "BACKUP = " + cfg.sBackup + "\r\n";
    conteudo += "PARALELA = " + cfg.sParalela + "\r\n";
    conteudo += "PORTA = " + cfg.sPorta + "\r\n";

    if (codificacao_.deUtf8) conteudo = codificacao_.deUtf8(conteudo);

    recusaEspecial("gravar", caminho, true);
    errno = 0;
    std::ofstream saida(caminhoUtf8(caminho), std::ios::binary | std::ios::trunc);
    if (!saida.is_open()) falha("gravar", caminho, errno);

    errno = 0;
    saida.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
    if (!saida) falha("gravar", caminho, errno);

    // The data may sit in the buffer until now: a full disk shows up here.
    errno = 0;
    saida.close();
    if (!saida) falha("gravar", caminho, errno);
}

std::string ChaveIni(const std::string& linha) {
    const auto igual = linha.find('=');
    if (igual == std::string::npos) return {};
    return aparaBrancos(std::string_view(linha).substr(0, igual));
}

std::string ValorIni(const std::string& linha) {
    const auto igual = linha.find('=');
    if (igual == std::string::npos) return {};
    return aparaBrancos(std::string_view(linha).substr(igual + 1));
}

}  // namespace velmora
