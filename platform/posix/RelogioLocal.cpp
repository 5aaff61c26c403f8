#include "platform/posix/RelogioLocal.h"

#include <ctime>

namespace velmora {

std::string RelogioLocal::dataHora() {
    std::time_t agora = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&agora, &local);
    char texto[32];
    std::size_t n = std::strftime(texto, sizeof texto, "%d/%m/%Y %H:%M:%S", &local);
    return std::string(texto, n);
}

}  // namespace velmora
