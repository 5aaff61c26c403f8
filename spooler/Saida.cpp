#include "spooler/Saida.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string_view>

#include "spooler/Formato.h"
#include "spooler/LinhaNoPapel.h"
#include "spooler/PaginaCodigo.h"

namespace velmora {

namespace {

constexpr std::string_view kFimDeLinha = "\r\n";
constexpr char kAvancoFolha = '\f';
constexpr std::string_view kEject = "EJECT";

char maiuscula(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string emMaiusculas(std::string_view texto) {
    std::string r(texto);
    std::transform(r.begin(), r.end(), r.begin(), maiuscula);
    return r;
}

bool contemEject(std::string_view linha) {
    auto pos = std::search(linha.begin(), linha.end(), kEject.begin(), kEject.end(),
                           [](char a, char b) { return maiuscula(a) == b; });
    return pos != linha.end();
}

// Calls `fn` with the lines of a job text: the pieces after each CR LF. The piece in front of the
// first CR LF is the reader's empty lead-in and never a line.
template <typename Fn>
void paraCadaLinha(std::string_view texto, Fn&& fn) {
    std::size_t pos = texto.find(kFimDeLinha);
    while (pos != std::string_view::npos) {
        std::size_t inicio = pos + kFimDeLinha.size();
        pos = texto.find(kFimDeLinha, inicio);
        std::size_t fim = pos == std::string_view::npos ? texto.size() : pos;
        fn(texto.substr(inicio, fim - inicio));
    }
}

// No match keeps the printer that is current: the default, or the one an earlier job chose.
void tornaAtualPorNome(CamadaImpressao& impressora, const std::string& sImpressora) {
    const std::string procurado = emMaiusculas(sImpressora);
    for (const InfoImpressora& info : impressora.impressoras()) {
        if (emMaiusculas(info.nome) == procurado) {
            impressora.tornaAtual(info.nome);
            return;
        }
    }
}

// The lines on paper of one line of the job text: a lone LF ends one as CR LF does (a line feed
// at the very end adds no empty line).
template <typename Fn>
void paraCadaLinhaNoPapel(std::string_view linha, Fn&& fn) {
    std::size_t inicio = 0;
    for (std::size_t fim; (fim = linha.find('\n', inicio)) != std::string_view::npos;) {
        fn(linha.substr(inicio, fim - inicio));
        inicio = fim + 1;
        if (inicio == linha.size()) return;
    }
    fn(linha.substr(inicio));
}

// Prints one line on paper at the job's size: tabs expanded, and a line wider than the page
// goes on over the following lines rather than being cut.
void imprimeNoPapel(CamadaImpressao& impressora, const std::u32string& linha,
                    const Formato& formato) {
    const std::u32string expandida = expandeTabulacoes(linha);
    for (std::u32string_view pedaco : quebraEmColunas(expandida, formato.colunas)) {
        impressora.imprimeLinha(pedaco);
    }
}

// A form feed ends the page where it stands: what comes before it closes the current page, what
// follows begins the next. A piece beside a form feed that leaves no ink is not printed, so a
// job that opens with a form feed does not open with a blank sheet.
void imprimeComAvancos(CamadaImpressao& impressora, const std::u32string& linha,
                       const Formato& formato) {
    std::size_t inicio = 0;
    while (true) {
        const std::size_t fim = linha.find(U'\f', inicio);
        const std::u32string pedaco = linha.substr(inicio, fim - inicio);
        if (temTinta(pedaco)) imprimeNoPapel(impressora, pedaco, formato);
        if (fim == std::u32string::npos) return;
        impressora.novaPagina();
        inicio = fim + 1;
    }
}

Resultado imprimeNaImpressora(const std::string& textoJob, const Valores& valores,
                              const std::string& titulo, DispositivosSaida& saida) {
    CamadaImpressao& impressora = saida.impressora;
    try {
        SelecionarFonte(impressora, "Courier");
        tornaAtualPorNome(impressora, valores.sImpressora);
        impressora.defineSublinhado(false);
        impressora.defineNegrito(false);
        impressora.defineItalico(false);
        const Formato formato = escolheFormato(valores.iMaiorLinha, impressora.papel());
        impressora.definePaisagem(formato.paisagem);
        impressora.defineTamanho(formato.pontos);
        impressora.defineEntrelinha(formato.entrelinha);

        const std::string codigo = saida.decodificador.escolhe(textoJob);
        // A DOS code page found in the bytes is named where the user looks for the job.
        const bool avisaCodigo = saida.decodificador.peloConteudo() && ehCodigoDos(codigo);
        impressora.defineTitulo(avisaCodigo ? titulo + " [" + codigo + "]" : titulo);

        paraCadaLinha(textoJob, [&](std::string_view linhaDoTexto) {
            paraCadaLinhaNoPapel(linhaDoTexto, [&](std::string_view linha) {
                if (linha.find(kAvancoFolha) != std::string_view::npos) {
                    imprimeComAvancos(impressora, saida.decodificador.decodifica(linha, codigo),
                                      formato);
                } else if (contemEject(linha)) {
                    impressora.novaPagina();
                } else {
                    imprimeNoPapel(impressora, saida.decodificador.decodifica(linha, codigo),
                                   formato);
                }
            });
        });
        impressora.terminaDocumento();
        return Resultado::sucesso();
    } catch (const std::exception& e) {
        impressora.abortaDocumento();
        return Resultado::falha(e.what());
    }
}

std::string nomeTemporario(Relogio& relogio) {
    std::string digitos = relogio.dataHora();
    for (char c : {'/', ':', ' '}) {
        digitos.erase(std::remove(digitos.begin(), digitos.end(), c), digitos.end());
    }
    return "temp" + digitos + ".BAK";
}

// Every line followed by CR LF: the text after the lead-in, as it stands, and one CR LF more.
// Written straight from the job text, so a 100 MB job is not copied again on its way out.
void gravaLinhas(ArquivoEscrita& arquivo, std::string_view textoJob) {
    const std::size_t primeiro = textoJob.find(kFimDeLinha);
    if (primeiro == std::string_view::npos) return;
    arquivo.escreve(textoJob.substr(primeiro + kFimDeLinha.size()));
    arquivo.escreve(kFimDeLinha);
}

void excluiSeExiste(SistemaArquivos& arquivos, const std::string& nome) noexcept {
    try {
        if (arquivos.existe(nome)) arquivos.exclui(nome);
    } catch (const std::exception&) {
        // A leftover temporary file is replaced by the next job of the same name.
    }
}

// The bytes go out unchanged: no decoding, no page rules; the printer at the port reads its own
// control characters.
Resultado copiaNaPorta(const std::string& textoJob, const Valores& valores,
                       const std::string& titulo, DispositivosSaida& saida) {
    if (valores.sPorta.empty()) {
        return Resultado::falha("a porta de saída (PORTA) não foi configurada");
    }
    std::string nome;
    try {
        nome = nomeTemporario(saida.relogio);
    } catch (const std::exception& e) {
        return Resultado::falha(e.what());
    }

    Resultado resultado;
    try {
        if (saida.arquivos.existe(nome)) saida.arquivos.exclui(nome);
        std::unique_ptr<ArquivoEscrita> arquivo = saida.arquivos.criaExclusivo(nome);
        gravaLinhas(*arquivo, textoJob);
        arquivo->fecha();
    } catch (const std::exception& e) {
        resultado = Resultado::falha("arquivo temporário " + nome + ": " + e.what());
    }
    if (resultado.ok) {
        try {
            saida.impressora.copiaBruto(nome, valores.sPorta, titulo);
        } catch (const std::exception& e) {
            resultado = Resultado::falha(e.what());
        }
    }
    excluiSeExiste(saida.arquivos, nome);
    return resultado;
}

}  // namespace

Resultado Imprimir(const std::string& textoJob, const Valores& valores, const std::string& titulo,
                   DispositivosSaida& saida) {
    if (ligado(valores.sParalela)) return copiaNaPorta(textoJob, valores, titulo, saida);
    return imprimeNaImpressora(textoJob, valores, titulo, saida);
}

void SelecionarFonte(CamadaImpressao& impressora, const std::string& prefixo) {
    const std::size_t inicio = prefixo.find_first_not_of(' ');
    const std::size_t tamanho =
        inicio == std::string::npos ? 0 : prefixo.find_last_not_of(' ') - inicio + 1;
    const std::string procurado = emMaiusculas(prefixo);
    // A font the printer cannot name or set only means the font stays as it was.
    int quantidade = 0;
    try {
        quantidade = impressora.quantidadeFontes();
    } catch (const std::exception&) {
        return;
    }
    for (int i = 0; i < quantidade; ++i) {
        std::string nome;
        try {
            nome = impressora.nomeFonte(i);
        } catch (const std::exception&) {
            continue;
        }
        if (emMaiusculas(std::string_view(nome).substr(0, tamanho)) != procurado) continue;
        try {
            impressora.defineFonte(nome);
        } catch (const std::exception&) {
        }
        return;
    }
}

}  // namespace velmora
