#include "platform/win32/RelogioWin32.h"

#include "platform/win32/TextoWin32.h"

namespace velmora {

std::string RelogioWin32::dataHora() {
    SYSTEMTIME agora{};
    ::GetLocalTime(&agora);
    wchar_t data[80] = {};
    wchar_t hora[80] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &agora, nullptr, data, 80, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &agora, nullptr, hora, 80);
    return utf8(data) + " " + utf8(hora);
}

}  // namespace velmora
