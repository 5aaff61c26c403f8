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

bool semColunaLatin1(unsigned char c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The printed lines of one line on paper: tabs to stops of eight, trailing blanks dropped, cut
// every `colunas` columns in front of a character that takes a column.
std::vector<std::string> pedacos(std::string_view bytes, std::size_t colunas) {
    std::string linha;
    std::size_t coluna = 0;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t') {
            const std::size_t brancos = 8 - coluna % 8;
            linha.append(brancos, ' ');
            coluna += brancos;
        } else {
            linha += ch;
            if (!semColunaLatin1(c)) ++coluna;
        }
    }
    linha.erase(linha.find_last_not_of(' ') == std::string::npos ? 0
                                                                 : linha.find_last_not_of(' ') + 1);
    std::vector<std::string> r{""};
    coluna = 0;
    for (const char ch : linha) {
        if (!semColunaLatin1(static_cast<unsigned char>(ch))) {
            if (coluna == colunas) {
                r.emplace_back();
                coluna = 0;
            }
            ++coluna;
        }
        r.back() += ch;
    }
    return r;
}

bool temTintaLatin1(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c != ' ' && c != '\t' && !semColunaLatin1(c);
    });
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
    // Inputs of odd length are printed as plain text, which the model below follows exactly;
    // the others with their printer codes read.
    const bool comCodigos = tamanho % 2 == 0;
    if (!comCodigos) valores.codigos = LinguagemCodigos::nenhum;

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

    if (comCodigos) {
        // No code reaches the paper as a control character (a CR the text ends with goes to the
        // layer, which drops it), and the document is handed over.
        EXIGE(!documento.empty() && documento.back() == "fim");
        for (const std::string& chamada : documento) {
            EXIGE(std::none_of(chamada.begin(), chamada.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 && c != '\r';
            }));
        }
        return 0;
    }

    const Formato formato = escolheFormato(largura, impressora.folha);
    EXIGE(impressora.paisagem == formato.paisagem);
    // Settings come first: the Courier font, then the printer, the styles and the size.
    const std::vector<std::string> inicio = {
        "quantidadeFontes", "nomeFonte 0",
        "nomeFonte 1",      "fonte Courier New",
        "impressoras",      "atual Velmora PDF",
        "sublinhado 0",     "negrito 0",
        "italico 0",        "tamanho " + std::to_string(static_cast<int>(formato.pontos))};
    EXIGE(impressora.chamadas.size() > inicio.size());
    EXIGE(std::equal(inicio.begin(), inicio.end(), impressora.chamadas.begin()));

    std::vector<std::string> esperado;
    const auto imprime = [&](std::string_view bytes) {
        for (const std::string& p : pedacos(bytes, formato.colunas)) {
            esperado.push_back("linha " + latin1ParaUtf8(p));
        }
    };
    for (const std::string& linhaDoTexto : linhas) {
        // A lone LF ends a line on paper; one at the very end adds no empty line.
        std::vector<std::string_view> noPapel;
        std::string_view resto = linhaDoTexto;
        for (std::size_t lf; (lf = resto.find('\n')) != std::string_view::npos;) {
            noPapel.push_back(resto.substr(0, lf));
            resto.remove_prefix(lf + 1);
        }
        if (noPapel.empty() || !resto.empty()) noPapel.push_back(resto);
        for (const std::string_view l : noPapel) {
            if (l.find('\f') != std::string_view::npos) {
                std::size_t inicio = 0;
                for (std::size_t ff; (ff = l.find('\f', inicio)) != std::string_view::npos;
                     inicio = ff + 1) {
                    if (temTintaLatin1(l.substr(inicio, ff - inicio))) {
                        imprime(l.substr(inicio, ff - inicio));
                    }
                    esperado.push_back("pagina");
                }
                if (temTintaLatin1(l.substr(inicio))) imprime(l.substr(inicio));
            } else if (temEject(std::string(l))) {
                esperado.push_back("pagina");
            } else {
                imprime(l);
            }
        }
    }
    esperado.push_back("fim");
    EXIGE(documento == esperado);
    return 0;
}
