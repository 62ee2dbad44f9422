#include "platform/DeviceNames.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                      "NUL", "CONIN$", "CONOUT$"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};

} // namespace

bool IsDeviceName(std::string_view strComponent) {
    std::string_view strStem = strComponent.substr(0, strComponent.find('.'));
    while (!strStem.empty() && strStem.back() == ' ')
        strStem.remove_suffix(1);
    std::string strUpper(strStem);
    for (char& ch : strUpper)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    if (std::find(kDevices.begin(), kDevices.end(), strUpper) != kDevices.end())
        return true;
    return strUpper.size() == 4 && strUpper[3] >= '1' && strUpper[3] <= '9' &&
           std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                     std::string_view(strUpper).substr(0, 3)) != kNumberedDevices.end();
}
