#include "ArquivoPdf.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "SintaxePdf.h"
#include "settings/CaminhoUtf8.h"
#include "spooler/ErroPlataforma.h"

namespace velmora::pdf {

namespace {

constexpr std::size_t kBloco = 1 << 20;

}  // namespace

ArquivoPdf::ArquivoPdf(const std::string& caminho) : caminho_(caminho) {
    saida_.rdbuf()->pubsetbuf(nullptr, 0);
    errno = 0;
    saida_.open(caminhoUtf8(caminho), std::ios::binary | std::ios::trunc);
    if (!saida_) falhou("criar");
    pendente_.reserve(kBloco + kBloco / 2);
    // The binary comment tells transfer programs that the file is not plain text.
    escreve("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n");
}

[[noreturn]] void ArquivoPdf::falhou(const char* acao) {
    const int erro = errno;
    throw ErroPlataforma("não foi possível " + std::string(acao) + " o documento " + caminho_ +
                         ": " + (erro ? std::strerror(erro) : "gravação incompleta"));
}

int ArquivoPdf::reserva() {
    posicoes_.push_back(0);
    return static_cast<int>(posicoes_.size() - 1);
}

void ArquivoPdf::inicia(int objeto) {
    posicoes_.at(objeto) = gravados_ + pendente_.size();
    numero(pendente_, objeto);
    pendente_ += " 0 obj\n";
}

void ArquivoPdf::acaba() { escreve("\nendobj\n"); }

void ArquivoPdf::objeto(int objeto, std::string_view corpo) {
    inicia(objeto);
    escreve(corpo);
    acaba();
}

void ArquivoPdf::escreve(std::string_view texto) {
    pendente_ += texto;
    if (pendente_.size() >= kBloco) descarrega();
}

void ArquivoPdf::fluxo(int objeto, std::string_view dicionario, std::string_view comprimido) {
    inicia(objeto);
    pendente_ += "<</Filter/FlateDecode/Length ";
    numero(pendente_, comprimido.size());
    pendente_ += dicionario;
    pendente_ += ">>stream\n";
    escreve(comprimido);
    escreve("\nendstream");
    acaba();
}

void ArquivoPdf::descarrega() {
    errno = 0;
    saida_.write(pendente_.data(), static_cast<std::streamsize>(pendente_.size()));
    if (!saida_) falhou("gravar");
    gravados_ += pendente_.size();
    pendente_.clear();
}

void ArquivoPdf::termina(int catalogo, int info) {
    const std::uint64_t xref = gravados_ + pendente_.size();
    pendente_ += "xref\n0 ";
    numero(pendente_, posicoes_.size());
    pendente_ += "\n0000000000 65535 f \n";
    char entrada[32];
    for (std::size_t i = 1; i < posicoes_.size(); ++i) {
        if (posicoes_[i] == 0) throw std::logic_error("objeto PDF reservado e não escrito");
        std::snprintf(entrada, sizeof entrada, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(posicoes_[i]));
        pendente_ += entrada;
    }
    pendente_ += "trailer\n<</Size ";
    numero(pendente_, posicoes_.size());
    pendente_ += "/Root ";
    referencia(pendente_, catalogo);
    pendente_ += "/Info ";
    referencia(pendente_, info);
    pendente_ += ">>\nstartxref\n";
    numero(pendente_, xref);
    pendente_ += "\n%%EOF\n";
    descarrega();
    errno = 0;
    saida_.close();
    if (!saida_) falhou("fechar");
}

}  // namespace velmora::pdf
