#include "spooler/RegistroAtividade.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Characters of UTF-8 text: bytes that are not continuation bytes.
std::size_t caracteres(const std::string& texto) {
    std::size_t n = 0;
    for (const char c : texto) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string repete(const std::string& pedaco, std::size_t vezes) {
    std::string texto;
    for (std::size_t i = 0; i < vezes; ++i) texto += pedaco;
    return texto;
}

TEST(RegistroAtividade, MaisNovoPrimeiroCadaUmComCrLf) {
    RegistroAtividade registro;
    EXPECT_EQ(registro.texto(), "");
    registro.log("M1");
    EXPECT_EQ(registro.texto(), "M1\r\n");
    registro.log("M2");
    EXPECT_EQ(registro.texto(), "M2\r\nM1\r\n");
    registro.log("");
    EXPECT_EQ(registro.texto(), "\r\nM2\r\nM1\r\n");
}

TEST(RegistroAtividade, AvisaCadaMensagemComoVeio) {
    RegistroAtividade registro;
    std::vector<std::string> avisos;
    registro.aoRegistrar = [&](const std::string& msg) { avisos.push_back(msg); };
    registro.log("Arquivo /v/A.TXT impresso");
    registro.log("");
    EXPECT_EQ(avisos, (std::vector<std::string>{"Arquivo /v/A.TXT impresso", ""}));
}

TEST(RegistroAtividade, FalhaDeQuemMostraNaoParaOCiclo) {
    RegistroAtividade registro;
    registro.aoRegistrar = [](const std::string&) { throw std::runtime_error("janela fechada"); };
    EXPECT_NO_THROW(registro.log("M1"));
    EXPECT_EQ(registro.texto(), "M1\r\n");
}

TEST(LimiteDoRegistro, CortaOMaisVelhoNos30000Caracteres) {
    RegistroAtividade registro;
    const std::string antigo(29988, 'a');
    registro.log(antigo);
    ASSERT_EQ(registro.texto().size(), 29990u);

    const std::string mensagem = "01234567890123456789";
    registro.log(mensagem);
    // 20 + 2 + 29,990 = 30,012: the last 12 characters of the old text go.
    EXPECT_EQ(registro.texto(), mensagem + "\r\n" + std::string(29978, 'a'));

    registro.log("x");
    EXPECT_EQ(registro.texto().size(), RegistroAtividade::kLimite);
    EXPECT_EQ(registro.texto().substr(0, 25), "x\r\n" + mensagem + "\r\n");
}

TEST(LimiteDoRegistro, ExatamenteNoLimiteNadaSePerde) {
    RegistroAtividade registro;
    registro.log(std::string(29998, 'a'));
    EXPECT_EQ(registro.texto(), std::string(29998, 'a') + "\r\n");
}

TEST(LimiteDoRegistro, ContaCaracteresSemCortarNenhumAoMeio) {
    RegistroAtividade registro;
    registro.log(repete("é", 29998));  // 30,000 characters, 59,998 bytes
    EXPECT_EQ(caracteres(registro.texto()), 30000u);

    registro.log("A");
    EXPECT_EQ(registro.texto(), "A\r\n" + repete("é", 29997));

    // A three-byte character right at the cut: it goes whole.
    registro.log(repete("€", 29998));
    registro.log("BC");
    EXPECT_EQ(registro.texto(), "BC\r\n" + repete("€", 29996));
}

TEST(LimiteDoRegistro, MensagemMaiorQueOLimiteFicaSoEla) {
    RegistroAtividade registro;
    registro.log("antigo");
    const std::string enorme = repete("ç", 40000);
    registro.log(enorme);
    EXPECT_EQ(registro.texto(), repete("ç", 30000));
}

// The rule as the log states it, applied to its whole text at every line.
std::string comORegraInteira(const std::string& msg, const std::string& antes) {
    const std::string novo = msg + "\r\n" + antes;
    std::size_t fim = 0;
    for (std::size_t n = 0; fim < novo.size(); ++fim) {
        if ((static_cast<unsigned char>(novo[fim]) & 0xC0) == 0x80) continue;
        if (n++ == RegistroAtividade::kLimite) break;
    }
    return novo.substr(0, fim);
}

TEST(LimiteDoRegistro, DepoisDeMuitasLinhasCortaComoARegraSobreOTextoInteiro) {
    RegistroAtividade registro;
    std::string esperado;
    for (int i = 0; i < 4000; ++i) {
        // Lengths that make the cut fall anywhere, inside "é" too, and now and then a line
        // longer than the whole limit.
        const std::string msg = i % 997 == 0 ? repete("é", 31000)
                                             : "Arquivo " + std::to_string(i) + repete("é", i % 23);
        registro.log(msg);
        esperado = comORegraInteira(msg, esperado);
        if (i % 101 == 0) {
            ASSERT_EQ(registro.texto(), esperado) << "linha " << i;
        }
    }
    EXPECT_EQ(registro.texto(), esperado);
    EXPECT_EQ(caracteres(registro.texto()), RegistroAtividade::kLimite);
}

}  // namespace
}  // namespace velmora
