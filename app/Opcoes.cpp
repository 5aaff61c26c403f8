#include "app/Opcoes.h"

#include <cstddef>

namespace velmora {

namespace {

// Strict: digits only, so "3s", "1e1" or " 5" are refused instead of half read.
int leSegundos(const std::string& texto) {
    const std::string erro =
        "--interval espera um número inteiro de " + std::to_string(kSegundosMinimo) + " a " +
        std::to_string(kSegundosMaximo) + " segundos, recebeu \"" + texto + "\"";
    if (texto.empty() || texto.size() > 4) throw ErroUso(erro);
    int valor = 0;
    for (char c : texto) {
        if (c < '0' || c > '9') throw ErroUso(erro);
        valor = valor * 10 + (c - '0');
    }
    if (valor < kSegundosMinimo || valor > kSegundosMaximo) throw ErroUso(erro);
    return valor;
}

void defineModo(Opcoes& opcoes, Opcoes::Modo modo, const std::string& nome) {
    if (opcoes.modo != Opcoes::Modo::Bandeja && opcoes.modo != modo)
        throw ErroUso("a opção " + nome + " não combina com outro modo já pedido");
    opcoes.modo = modo;
}

}  // namespace

Opcoes leOpcoes(const std::vector<std::string>& argumentos) {
    Opcoes opcoes;
    bool temIni = false;
    bool temIntervalo = false;
    for (std::size_t i = 0; i < argumentos.size(); ++i) {
        std::string nome = argumentos[i];
        std::string valor;
        bool temValor = false;
        if (nome.rfind("--", 0) == 0) {
            const auto igual = nome.find('=');
            if (igual != std::string::npos) {
                valor = nome.substr(igual + 1);
                nome.resize(igual);
                temValor = true;
            }
        }
        const bool pedeValor = nome == "--ini" || nome == "--interval";
        if (temValor && !pedeValor) throw ErroUso("a opção " + nome + " não aceita valor");
        if (pedeValor && !temValor) {
            // "--ini --once" is a forgotten value far more often than a file named "--once".
            if (i + 1 >= argumentos.size() || argumentos[i + 1].rfind("--", 0) == 0)
                throw ErroUso("falta o valor da opção " + nome);
            valor = argumentos[++i];
        }

        if (nome == "--headless") {
            defineModo(opcoes, Opcoes::Modo::Headless, nome);
        } else if (nome == "--once") {
            defineModo(opcoes, Opcoes::Modo::UmaVez, nome);
        } else if (nome == "--help" || nome == "-h") {
            defineModo(opcoes, Opcoes::Modo::Ajuda, nome);
        } else if (nome == "--version") {
            defineModo(opcoes, Opcoes::Modo::Versao, nome);
        } else if (nome == "--ini") {
            if (temIni) throw ErroUso("a opção --ini foi dada mais de uma vez");
            if (valor.empty()) throw ErroUso("a opção --ini espera o caminho de um arquivo");
            opcoes.sArquivoIni = valor;
            temIni = true;
        } else if (nome == "--interval") {
            if (temIntervalo) throw ErroUso("a opção --interval foi dada mais de uma vez");
            opcoes.iSegundos = leSegundos(valor);
            temIntervalo = true;
        } else if (nome.rfind('-', 0) == 0) {
            throw ErroUso("opção desconhecida: " + nome);
        } else {
            throw ErroUso("argumento inesperado: " + nome);
        }
    }
    if (temIntervalo && opcoes.modo != Opcoes::Modo::Headless)
        throw ErroUso("a opção --interval só vale com --headless");
    return opcoes;
}

std::string textoAjuda() {
    return "Uso: velmora [--ini ARQUIVO]\n"
           "     velmora --headless [--ini ARQUIVO] [--interval SEGUNDOS]\n"
           "     velmora --once [--ini ARQUIVO]\n"
           "\n"
           "Spooler de impressão: imprime os arquivos de texto que aparecem na pasta vigiada\n"
           "(LOCAL no arquivo de configuração) e depois os exclui ou renomeia para backup.\n"
           "\n"
           "Sem opção de modo, roda na bandeja do sistema com a janela de configuração.\n"
           "\n"
           "Opções:\n"
           "  --headless            roda sem janela nem bandeja, verificando a pasta a cada\n"
           "                        SEGUNDOS; termina com SIGINT ou SIGTERM\n"
           "  --once                verifica a pasta uma vez, imprime o que achar e termina\n"
           "  --ini ARQUIVO         arquivo de configuração (padrão: VELMORA.INI na pasta do\n"
           "                        programa ou, se ela não for gravável,\n"
           "                        $XDG_CONFIG_HOME/velmora/VELMORA.INI)\n"
           "  --interval SEGUNDOS   período do --headless, de 1 a 60 (padrão: 3)\n"
           "  --help                mostra esta ajuda\n"
           "  --version             mostra a versão\n"
           "\n"
           "Variáveis de ambiente:\n"
           "  VELMORA_CODEPAGE      página de código dos trabalhos (nome do iconv: CP850,\n"
           "                        ISO-8859-1, UTF-8...); padrão: UTF-8 quando o texto é\n"
           "                        UTF-8 válido, senão Windows-1252\n"
           "  VELMORA_CODIGOS       códigos de impressora dos trabalhos impressos: epson,\n"
           "                        ibm, pcl ou nenhum; padrão: PCL quando o trabalho tem\n"
           "                        a sintaxe do PCL, senão Epson ESC/P\n"
           "  VELMORA_PDF_DIR       pasta onde a impressora \"Velmora PDF\" grava os PDFs\n"
           "\n"
           "Códigos de saída do --once: 0 todos os trabalhos achados foram impressos,\n"
           "1 algum falhou, 2 uso errado ou arquivo de configuração inutilizável.\n";
}

}  // namespace velmora
