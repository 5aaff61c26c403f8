#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::pdf {

// The PDF file being written: numbered objects at known offsets, then the cross-reference
// table. Failures throw ErroPlataforma with the path and the system's reason.
class ArquivoPdf {
  public:
    explicit ArquivoPdf(const std::string& caminho);

    int reserva();  // the number of an object written later
    void objeto(int objeto, std::string_view corpo);
    // A whole stream object; `dicionario` holds its entries other than /Length and /Filter.
    void fluxo(int objeto, std::string_view dicionario, std::string_view comprimido);
    // The cross-reference table and the trailer; then the file is closed.
    void termina(int catalogo, int info);

  private:
    void inicia(int objeto);  // "n 0 obj"
    void acaba();             // "endobj"
    void escreve(std::string_view texto);
    void descarrega();
    [[noreturn]] void falhou(const char* acao);

    std::string caminho_;
    std::ofstream saida_;
    std::string pendente_;  // the only buffer between the writer and the system
    std::uint64_t gravados_ = 0;
    std::vector<std::uint64_t> posicoes_{0};  // by object number; 0 is the free list's head
};

}  // namespace velmora::pdf
