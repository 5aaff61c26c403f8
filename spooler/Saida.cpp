#include "spooler/Saida.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "spooler/Caixa.h"
#include "spooler/ErroPlataforma.h"
#include "spooler/Formato.h"
#include "spooler/ImpressaoCodigos.h"
#include "spooler/LinhaNoPapel.h"
#include "spooler/PaginaCodigo.h"

namespace velmora {

namespace {

constexpr std::string_view kFimDeLinha = "\r\n";
constexpr char kAvancoFolha = '\f';
constexpr std::string_view kEject = "EJECT";

bool contemEject(std::string_view linha) { return contemSemCaixa(linha, kEject); }

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
    for (const InfoImpressora& info : impressora.impressoras()) {
        if (igualSemCaixa(info.nome, sImpressora)) {
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
        const std::string codigo = saida.decodificador.escolhe(textoJob);
        // The bytes the printer would receive: the text after the reader's lead-in.
        const std::size_t abertura = textoJob.find(kFimDeLinha);
        const std::string_view job =
            abertura == std::string::npos
                ? std::string_view()
                : std::string_view(textoJob).substr(abertura + kFimDeLinha.size());
        const LinguagemCodigos linguagem =
            valores.codigos ? *valores.codigos : detectaLinguagem(job);
        const bool comCodigos = linguagem != LinguagemCodigos::nenhum && temCodigos(job);

        const Formato formato = comCodigos
                                    ? formatoComCodigos(job, linguagem, codigo, impressora.papel())
                                    : escolheFormato(valores.iMaiorLinha, impressora.papel());
        impressora.definePaisagem(formato.paisagem);
        impressora.defineTamanho(formato.pontos);
        impressora.defineEntrelinha(formato.entrelinha);

        // A DOS code page found in the bytes is named where the user looks for the job.
        const bool avisaCodigo = saida.decodificador.peloConteudo() && ehCodigoDos(codigo);
        impressora.defineTitulo(avisaCodigo ? titulo + " [" + codigo + "]" : titulo);

        if (comCodigos) {
            imprimeComCodigos(impressora, job, linguagem, codigo, saida.decodificador, formato);
            impressora.terminaDocumento();
            return Resultado::sucesso();
        }
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

// "temp" + date-time digits + this process's id in ten digits: two spoolers that share a working
// folder never meet on one name, and a file already under it is a leftover of a dead process.
std::string nomeTemporario(Relogio& relogio, std::uint64_t processo) {
    std::string digitos = relogio.dataHora();
    for (char c : {'/', ':', ' '}) {
        digitos.erase(std::remove(digitos.begin(), digitos.end(), c), digitos.end());
    }
    std::string id = std::to_string(processo);
    if (id.size() < 10) id.insert(0, 10 - id.size(), '0');
    return "temp" + digitos + id + ".BAK";
}

// Every line followed by CR LF: the text after the lead-in, as it stands, and one CR LF more.
// Written straight from the job text, so a 100 MB job is not copied again on its way out. Returns
// the number of bytes written.
std::uint64_t gravaLinhas(ArquivoEscrita& arquivo, std::string_view textoJob) {
    const std::size_t primeiro = textoJob.find(kFimDeLinha);
    if (primeiro == std::string_view::npos) return 0;
    const std::string_view linhas = textoJob.substr(primeiro + kFimDeLinha.size());
    arquivo.escreve(linhas);
    arquivo.escreve(kFimDeLinha);
    return linhas.size() + kFimDeLinha.size();
}

// The temporary file leaves with its job, but only while its name still leads to it.
void excluiSeNosso(SistemaArquivos& arquivos, const std::string& nome,
                   const InfoArquivo& nosso) noexcept {
    try {
        const std::optional<InfoArquivo> agora = arquivos.info(nome);
        if (agora && mesmaIdentidade(*agora, nosso)) arquivos.exclui(nome);
    } catch (const std::exception&) {
        // A leftover is replaced by the next job of this process under the same name.
    }
}

// The bytes go out unchanged: no decoding, no page rules; the printer at the port reads its own
// control characters.
Resultado copiaNaPorta(const GravaJob& gravaJob, const Valores& valores, const std::string& titulo,
                       DispositivosSaida& saida) {
    if (valores.sPorta.empty()) {
        return Resultado::falha("a porta de saída (PORTA) não foi configurada");
    }
    SistemaArquivos& arquivos = saida.arquivos;
    std::string nome;
    try {
        nome = nomeTemporario(saida.relogio, arquivos.idProcesso());
    } catch (const std::exception& e) {
        return Resultado::falha(e.what());
    }

    Resultado resultado;
    std::optional<InfoArquivo> criado;
    try {
        std::unique_ptr<ArquivoEscrita> arquivo;
        try {
            arquivo = arquivos.criaExclusivo(nome);
        } catch (const std::exception&) {
            // A leftover of a dead process under this name is replaced; asked only then, so that
            // a job costs no look for a file that is almost never there.
            if (!arquivos.existe(nome)) throw;
            arquivos.exclui(nome);
            arquivo = arquivos.criaExclusivo(nome);
        }
        criado = arquivos.info(nome);
        const std::uint64_t escritos = gravaJob(*arquivo);
        arquivo->fecha();
        // The port gets exactly what this job wrote, or nothing.
        const std::optional<InfoArquivo> fechado = arquivos.info(nome);
        if (!criado || !fechado || !mesmaIdentidade(*criado, *fechado) ||
            fechado->tamanho != escritos) {
            throw ErroPlataforma("foi trocado por outro arquivo antes da cópia");
        }
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
    if (criado) excluiSeNosso(arquivos, nome, *criado);
    return resultado;
}

}  // namespace

Resultado Imprimir(const std::string& textoJob, const Valores& valores, const std::string& titulo,
                   DispositivosSaida& saida) {
    if (ligado(valores.sParalela)) {
        return copiaNaPorta([&](ArquivoEscrita& arquivo) { return gravaLinhas(arquivo, textoJob); },
                            valores, titulo, saida);
    }
    return imprimeNaImpressora(textoJob, valores, titulo, saida);
}

Resultado ImprimirBruto(const GravaJob& gravaJob, const Valores& valores, const std::string& titulo,
                        DispositivosSaida& saida) {
    return copiaNaPorta(gravaJob, valores, titulo, saida);
}

void SelecionarFonte(CamadaImpressao& impressora, const std::string& prefixo) {
    const std::size_t inicio = prefixo.find_first_not_of(' ');
    // L counts the characters of the prefix without its blanks.
    const std::size_t tamanho =
        inicio == std::string::npos
            ? 0
            : dobraCaixa(std::string_view(prefixo).substr(
                             inicio, prefixo.find_last_not_of(' ') - inicio + 1))
                  .size();
    const std::u32string procurado = dobraCaixa(prefixo);
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
        if (dobraCaixa(nome).substr(0, tamanho) != procurado) continue;
        try {
            impressora.defineFonte(nome);
        } catch (const std::exception&) {
        }
        return;
    }
}

}  // namespace velmora
