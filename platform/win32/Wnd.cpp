#include "platform/win32/Wnd.h"

std::string GetWindowString(HWND hWnd) {
    std::string str(static_cast<std::size_t>(::GetWindowTextLengthA(hWnd)) + 1, '\0');
    str.resize(
        static_cast<std::size_t>(::GetWindowTextA(hWnd, str.data(), static_cast<int>(str.size()))));
    return str;
}
