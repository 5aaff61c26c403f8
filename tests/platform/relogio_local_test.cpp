#include "platform/posix/RelogioLocal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

namespace velmora {
namespace {

TEST(RelogioLocalTest, DataEHoraLocaisNaFormaCurtaBrasileira) {
    // Three hours behind UTC: a clock giving UTC would fall outside the window below.
    const char* antes = std::getenv("TZ");
    std::string tzAntes = antes ? antes : "";
    ::setenv("TZ", "BRT3", 1);
    ::tzset();

    RelogioLocal relogio;
    std::time_t inicio = std::time(nullptr);
    std::string texto = relogio.dataHora();
    std::time_t fim = std::time(nullptr);

    std::smatch partes;
    ASSERT_TRUE(std::regex_match(texto, partes,
                                 std::regex(R"((\d{2})/(\d{2})/(\d{4}) (\d{2}):(\d{2}):(\d{2}))")))
        << texto;
    std::tm lido{};
    lido.tm_mday = std::stoi(partes[1]);
    lido.tm_mon = std::stoi(partes[2]) - 1;
    lido.tm_year = std::stoi(partes[3]) - 1900;
    lido.tm_hour = std::stoi(partes[4]);
    lido.tm_min = std::stoi(partes[5]);
    lido.tm_sec = std::stoi(partes[6]);
    lido.tm_isdst = 0;
    std::time_t instante = std::mktime(&lido);
    EXPECT_GE(instante, inicio) << texto;
    EXPECT_LE(instante, fim) << texto;

    if (antes) {
        ::setenv("TZ", tzAntes.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
}  // namespace velmora
