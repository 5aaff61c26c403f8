#pragma once

#include <iconv.h>

#include <map>
#include <string>
#include <string_view>

#include "spooler/Decodificador.h"

namespace velmora {

// Job bytes to characters through iconv. The code page is VELMORA_CODEPAGE when it is set
// (read once, at construction); otherwise the one codigoPeloConteudo finds in the job's bytes.
// One converter per code page is kept open for the object's life.
class DecodificadorIconv : public Decodificador {
  public:
    // `codigoFixo` (VELMORA_CODEPAGE) decodes every job; empty lets each job's bytes decide.
    // Throws ErroPlataforma when it names no code page iconv knows.
    explicit DecodificadorIconv(const std::string& codigoFixo = {});
    ~DecodificadorIconv() override;
    DecodificadorIconv(const DecodificadorIconv&) = delete;
    DecodificadorIconv& operator=(const DecodificadorIconv&) = delete;

    std::string escolhe(std::string_view jobInteiro) const override;
    std::u32string decodifica(std::string_view bytes, const std::string& codigo) const override;
    bool peloConteudo() const override;
    std::size_t larguraImpressa(std::string_view bytes, const std::string& codigo) const override;

  private:
    struct Conversor {
        iconv_t cd;
        bool asciiDireto;  // ASCII bytes stand for themselves in this code page
    };

    Conversor& conversor(const std::string& codigo) const;

    std::string codigoFixo_;
    mutable std::map<std::string, Conversor> conversores_;
    // A job asks for the same code page line after line.
    mutable const std::string* ultimoCodigo_ = nullptr;
    mutable Conversor* ultimo_ = nullptr;
};

}  // namespace velmora
