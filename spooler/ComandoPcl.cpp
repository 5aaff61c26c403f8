#include "spooler/ComandoPcl.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// PCL's values run from -32767 to 32767.
constexpr double kMaiorValor = 32767;

bool entre(unsigned char c, unsigned char de, unsigned char ate) { return c >= de && c <= ate; }
bool ehParametrizado(unsigned char c) { return entre(c, 33, 47); }
bool ehGrupoOuParametro(unsigned char c) { return entre(c, 96, 126); }
bool ehTerminacao(unsigned char c) { return entre(c, 64, 94); }
bool ehDoValor(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

double valorDoCampo(std::string_view texto, bool& comSinal) {
    comSinal = !texto.empty() && (texto[0] == '+' || texto[0] == '-');
    double sinal = 1;
    std::size_t i = 0;
    if (comSinal) {
        sinal = texto[0] == '-' ? -1 : 1;
        ++i;
    }
    double valor = 0, escala = 0;
    for (; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '.') {
            if (escala != 0) break;
            escala = 1;
        } else if (c >= '0' && c <= '9') {
            if (escala != 0) {
                escala /= 10;
                valor += (c - '0') * escala;
            } else {
                valor = std::min(valor * 10 + (c - '0'), kMaiorValor);
            }
        } else {
            break;
        }
    }
    return sinal * valor;
}

// Data carried by a field: ESC *b#W and the like, and ESC &p#X (bytes to print).
bool carregaDados(const CampoPcl& campo) {
    return campo.letra == 'W' ||
           (campo.parametro == '&' && campo.grupo == 'p' && campo.letra == 'X');
}

}  // namespace

ComandoPcl leComandoPcl(std::string_view job, std::size_t pos) {
    ComandoPcl cmd;
    if (pos + 1 >= job.size()) {
        cmd.tamanho = job.size() - pos;
        return cmd;
    }
    const auto primeiro = static_cast<unsigned char>(job[pos + 1]);
    if (entre(primeiro, 48, 126)) {
        cmd.letra = static_cast<char>(primeiro);
        cmd.tamanho = 2;
        return cmd;
    }
    if (!ehParametrizado(primeiro)) return cmd;  // the ESC alone; the byte keeps its meaning

    std::size_t i = pos + 2;
    char grupo = 0;
    if (i < job.size() && ehGrupoOuParametro(static_cast<unsigned char>(job[i]))) grupo = job[i++];
    for (;;) {
        const std::size_t inicioValor = i;
        while (i < job.size() && ehDoValor(static_cast<unsigned char>(job[i]))) ++i;
        if (i >= job.size()) break;
        const auto fecho = static_cast<unsigned char>(job[i]);
        const bool continua = ehGrupoOuParametro(fecho);
        if (!continua && !ehTerminacao(fecho)) break;
        CampoPcl campo;
        campo.parametro = static_cast<char>(primeiro);
        campo.grupo = grupo;
        campo.letra = static_cast<char>(continua ? fecho - 32 : fecho);
        campo.valor = valorDoCampo(job.substr(inicioValor, i - inicioValor), campo.comSinal);
        ++i;
        if (carregaDados(campo) && campo.valor > 0) {
            const std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(campo.valor), job.size() - i);
            campo.dados = job.substr(i, n);
            i += n;
        }
        cmd.campos.push_back(campo);
        if (!continua) break;
    }
    cmd.tamanho = i - pos;
    return cmd;
}

}  // namespace velmora
