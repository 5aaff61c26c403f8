// The job reader: any bytes in, the job text and iMaiorLinha out. The first byte picks the
// decoder: the byte-per-character fake, the automatic choice, or a fixed code page.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Exige.h"
#include "platform/posix/DecodificadorIconv.h"
#include "spooler/LeitorJob.h"
#include "spooler/apoio/ArquivosEmMemoria.h"
#include "spooler/apoio/DecodificadoresTeste.h"
#include "spooler/apoio/PerguntaFixa.h"

using namespace velmora;

namespace {

std::vector<std::unique_ptr<Decodificador>> decodificadores;

// Every code page here gives at most one character per byte.
constexpr const char* kCodigos[] = {"UTF-8", "WINDOWS-1252", "CP850",
                                    "CP437", "ISO-8859-1",   "ISO-2022-JP"};

std::vector<std::string_view> pedacos(std::string_view texto) {
    std::vector<std::string_view> r;
    std::size_t inicio = 0;
    for (;;) {
        const std::size_t pos = texto.find("\r\n", inicio);
        r.push_back(texto.substr(inicio, pos == std::string_view::npos ? pos : pos - inicio));
        if (pos == std::string_view::npos) return r;
        inicio = pos + 2;
    }
}

// The lines of the file, each end (CR or CR LF) as one CR and no end after the last line.
std::string linhasComCr(std::string_view bytes) {
    std::string r;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        r += bytes[i];
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    if (!r.empty() && r.back() == '\r') r.pop_back();
    return r;
}

// Columns on paper up to the last inked character, for bytes read as Latin-1: tab stops of
// eight, control characters take none, LF and FF start again at the left edge.
std::size_t larguraNoPapel(std::string_view linha) {
    std::size_t coluna = 0;
    std::size_t maior = 0;
    for (const char ch : linha) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t') {
            coluna = (coluna / 8 + 1) * 8;
        } else if (c == '\n' || c == '\f') {
            coluna = 0;
        } else if (c >= 0x20 && !(c >= 0x7F && c <= 0x9F)) {
            ++coluna;
            if (c != ' ') maior = std::max(maior, coluna);
        }
    }
    return maior;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    decodificadores.push_back(std::make_unique<teste::DecodificadorLatin1>());
    decodificadores.push_back(std::make_unique<DecodificadorIconv>());
    for (const char* codigo : kCodigos) {
        decodificadores.push_back(std::make_unique<DecodificadorIconv>(codigo));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho == 0) return 0;
    const std::size_t escolhido = dados[0] % decodificadores.size();
    const Decodificador& decodificador = *decodificadores[escolhido];
    const std::string bytes(reinterpret_cast<const char*>(dados + 1), tamanho - 1);

    teste::ArquivosEmMemoria arquivos;
    arquivos.arquivos["/pasta/JOB.TXT"] = bytes;
    teste::PerguntaFixa pergunta(false);
    Valores valores;
    valores.iMaiorLinha = 1234;
    // Half the inputs with the printer codes off, where a lone CR always ends a line.
    if (tamanho % 2) valores.codigos = LinguagemCodigos::nenhum;
    const bool sobreposicao = !valores.codigos && bytes.find('\n') != std::string::npos;
    const JobLido job =
        le_conteudo("/pasta/", "JOB.TXT", valores, arquivos, decodificador, pergunta);

    EXIGE(job.lido && pergunta.perguntas.empty());
    EXIGE(job.texto.empty() == bytes.empty());
    if (bytes.empty()) {
        EXIGE(valores.iMaiorLinha == 0);
        return 0;
    }

    // The output splits the text back at every CR LF: the empty lead-in, then exactly the lines.
    const std::vector<std::string_view> partes = pedacos(job.texto);
    EXIGE(partes.front().empty());
    std::string juntas;
    std::size_t maisLarga = 0;
    std::size_t maisLongaEmBytes = 0;
    for (std::size_t i = 1; i < partes.size(); ++i) {
        // A CR kept inside a line starts a second pass over it, so text follows it.
        for (std::size_t cr = partes[i].find('\r'); cr != std::string_view::npos;
             cr = partes[i].find('\r', cr + 1)) {
            EXIGE(sobreposicao && cr + 1 < partes[i].size() && partes[i][cr + 1] != '\n');
        }
        if (i > 1) juntas += '\r';
        juntas += partes[i];
        std::string_view passadas = partes[i];
        for (std::size_t cr; (cr = passadas.find('\r')) != std::string_view::npos;) {
            maisLarga = std::max(maisLarga, larguraNoPapel(passadas.substr(0, cr)));
            passadas.remove_prefix(cr + 1);
        }
        maisLarga = std::max(maisLarga, larguraNoPapel(passadas));
        maisLongaEmBytes = std::max(maisLongaEmBytes, partes[i].size());
    }
    EXIGE(juntas == linhasComCr(bytes));

    EXIGE(valores.iMaiorLinha >= 0);
    // A tab is one byte and up to eight columns.
    EXIGE(static_cast<std::size_t>(valores.iMaiorLinha) <= 8 * maisLongaEmBytes);
    if (escolhido == 0) {
        EXIGE(static_cast<std::size_t>(valores.iMaiorLinha) ==
              std::min<std::size_t>(maisLarga, 32767));
    }
    return 0;
}
