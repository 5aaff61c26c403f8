// The output of one job text against a recording printing layer. The first byte picks the path
// and a call at which the printer fails; the next two give iMaiorLinha; the rest is the job text.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Exige.h"
#include "PastaDoAlvo.h"
#include "platform/posix/SistemaArquivosPosix.h"
#include "spooler/Saida.h"
#include "spooler/apoio/DecodificadoresTeste.h"
#include "spooler/apoio/ImpressoraGravadora.h"
#include "spooler/apoio/RelogioFixo.h"

using namespace velmora;

namespace {

std::string pasta;

std::vector<std::string> linhasDoJob(std::string_view texto) {
    std::vector<std::string> r;
    std::size_t pos = texto.find("\r\n");
    while (pos != std::string_view::npos) {
        const std::size_t inicio = pos + 2;
        pos = texto.find("\r\n", inicio);
        r.emplace_back(texto.substr(inicio, pos == std::string_view::npos ? pos : pos - inicio));
    }
    return r;
}

std::string latin1ParaUtf8(std::string_view bytes) {
    std::u32string s;
    for (const char c : bytes) s += static_cast<char32_t>(static_cast<unsigned char>(c));
    return teste::paraUtf8(s);
}

bool temEject(std::string linha) {
    for (char& c : linha) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return linha.find("EJECT") != std::string::npos;
}

float tamanhoEsperado(int largura) {
    return largura <= 80 ? 11 : largura <= 100 ? 9 : largura <= 110 ? 8 : 7;
}

bool temporarioSobrou() {
    for (const auto& e : std::filesystem::directory_iterator(pasta)) {
        if (e.path().filename().string().rfind("temp", 0) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pasta = criaPastaDoAlvo("saida");
    if (::chdir(pasta.c_str()) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 3) return 0;
    const std::uint8_t modo = dados[0];
    const bool bruto = modo & 1;
    const bool semPorta = modo & 2;
    const int falharNa = modo >> 2;  // 0: no failure; n: the n-th document call fails
    const auto largura = static_cast<std::int16_t>(dados[1] | (dados[2] << 8));
    const std::string texto(reinterpret_cast<const char*>(dados + 3), tamanho - 3);

    teste::ImpressoraGravadora impressora;
    impressora.instaladas = {{"Matricial", "lp0"}, {"Velmora PDF", "pdf"}};
    impressora.fontes = {"Arial", "Courier New", "Courier"};
    SistemaArquivosPosix arquivos;
    teste::DecodificadorLatin1 decodificador;
    teste::RelogioFixo relogio;
    DispositivosSaida saida{impressora, arquivos, decodificador, relogio};

    Valores valores;
    valores.sImpressora = "velmora pdf";
    valores.sParalela = bruto ? "1" : "0";
    valores.sPorta = semPorta ? "" : "/porta";
    valores.iMaiorLinha = largura;

    // Fail at the n-th line, page or end of document, counted as the printer sees them.
    int contagem = 0;
    bool falhou = false;
    impressora.aoChamar = [&](const std::string& chamada) {
        const bool doDocumento =
            chamada.rfind("linha ", 0) == 0 || chamada == "pagina" || chamada == "fim";
        if (doDocumento && falharNa != 0 && ++contagem == falharNa && !falhou) {
            falhou = true;
            throw ErroPlataforma("falha simulada");
        }
    };

    const Resultado r = Imprimir(texto, valores, "JOB.TXT", saida);
    const std::vector<std::string> linhas = linhasDoJob(texto);

    if (bruto) {
        EXIGE(!temporarioSobrou());
        if (semPorta) {
            EXIGE(!r.ok && impressora.chamadas.empty());
            return 0;
        }
        EXIGE(r.ok);
        std::string esperado;
        for (const std::string& l : linhas) esperado += l + "\r\n";
        EXIGE(impressora.bytesBrutos == esperado);
        EXIGE(impressora.chamadas.back() == "bruto /porta JOB.TXT");
        return 0;
    }

    EXIGE(r.ok == !falhou);
    const std::vector<std::string> documento = impressora.documento();
    if (falhou) {
        EXIGE(!documento.empty() && documento.back() == "aborta");
        return 0;
    }

    // Settings come first: the Courier font, then the printer, the styles and the size.
    const std::vector<std::string> inicio = {
        "quantidadeFontes",
        "nomeFonte 0",
        "nomeFonte 1",
        "fonte Courier New",
        "impressoras",
        "atual Velmora PDF",
        "sublinhado 0",
        "negrito 0",
        "italico 0",
        "tamanho " + std::to_string(static_cast<int>(tamanhoEsperado(largura)))};
    EXIGE(impressora.chamadas.size() > inicio.size());
    EXIGE(std::equal(inicio.begin(), inicio.end(), impressora.chamadas.begin()));

    std::vector<std::string> esperado;
    for (const std::string& l : linhas) {
        if (l.find('\f') != std::string::npos) {
            esperado.push_back("linha " + latin1ParaUtf8(l));
            esperado.push_back("pagina");
        } else if (temEject(l)) {
            esperado.push_back("pagina");
        } else {
            esperado.push_back("linha " + latin1ParaUtf8(l));
        }
    }
    esperado.push_back("fim");
    EXIGE(documento == esperado);
    return 0;
}
