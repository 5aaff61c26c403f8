#include "app/RegistroConsole.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/Motor.h"
#include "settings/CaminhoUtf8.h"
#include "settings/Velmora_INI.h"

namespace velmora {

std::string carimbo() {
    const std::time_t agora = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    ::localtime_s(&local, &agora);
    // No tm_gmtoff: UTC read back as local time is off by the offset.
    std::tm utc{};
    ::gmtime_s(&utc, &agora);
    utc.tm_isdst = local.tm_isdst;
    long desvio = static_cast<long>(std::difftime(agora, std::mktime(&utc))) / 60;
#else
    ::localtime_r(&agora, &local);
    long desvio = local.tm_gmtoff / 60;
#endif
    char data[32];
    std::strftime(data, sizeof data, "%Y-%m-%dT%H:%M:%S", &local);
    const char sinal = desvio < 0 ? '-' : '+';
    if (desvio < 0) desvio = -desvio;
    char fuso[32];
    std::snprintf(fuso, sizeof fuso, "%c%02ld:%02ld", sinal, desvio / 60 % 100, desvio % 60);
    return std::string(data) + fuso;
}

void escreveLinha(const std::string& texto) {
    std::string linha = carimbo() + " " + texto;
    for (char& c : linha)
        if (c == '\n' || c == '\r') c = '?';
    linha += '\n';
    // A closed or broken stdout must not stop the printing: errors are ignored here.
    std::fwrite(linha.data(), 1, linha.size(), stdout);
    std::fflush(stdout);
}

void escreveErro(const std::string& texto) {
    const std::string linha = "velmora: " + texto + "\n";
    std::fwrite(linha.data(), 1, linha.size(), stderr);
    std::fflush(stderr);
}

bool PerguntaSemUsuario::sim(const std::string& mensagem) {
    escreveLinha(mensagem + " Não");
    return false;
}

bool arquivoIniUsavel(const std::string& caminho) {
    std::error_code erro;
    const auto estado = std::filesystem::status(caminhoUtf8(caminho), erro);
    std::string problema;
    if (estado.type() == std::filesystem::file_type::not_found)
        problema = "arquivo não encontrado";
    else if (erro)
        problema = erro.message();
    else if (std::filesystem::is_directory(estado))
        problema = "é uma pasta, não um arquivo";
    if (problema.empty()) return true;
    escreveErro("arquivo de configuração " + caminho + ": " + problema);
    return false;
}

bool carregaConfiguracao(Configuracao& valores, const std::string& sArquivoIni) {
    valores.sArquivoIni = sArquivoIni;
    std::string problema;
    try {
        LerIni(valores, sArquivoIni);
        if (valores.sLocal.empty()) problema = "LOCAL vazio, nenhuma pasta a vigiar";
    } catch (const ErroIni& e) {
        problema = e.what();
    }
    if (problema.empty()) return true;
    escreveErro("arquivo de configuração " + sArquivoIni + ": " + problema);
    return false;
}

int rodaUmaVez(const std::string& sArquivoIni, PerguntaSemUsuario& pergunta) {
    ChaveSemTimer chave;
    Motor motor(pergunta, chave);
    motor.registro.aoRegistrar = escreveLinha;
    if (!carregaConfiguracao(motor.valores, sArquivoIni)) return 2;
    const ResumoCiclo resumo = motor.timerImpressao_Timer();
    escreveLinha("Ciclo concluído: " + std::to_string(resumo.impressos) + " impresso(s), " +
                 std::to_string(resumo.falhas) + " falha(s)");
    return resumo.falhas == 0 ? 0 : 1;
}

}  // namespace velmora
