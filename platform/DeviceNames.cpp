#include "platform/DeviceNames.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                      "nul", "conin$", "conout$"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"com", "lpt"};

} // namespace

bool IsDeviceName(std::string_view strComponent) {
    std::string_view strStem = strComponent.substr(0, strComponent.find('.'));
    while (!strStem.empty() && strStem.back() == ' ')
        strStem.remove_suffix(1);
    const std::string strLower = AsciiLower(std::string(strStem));
    if (std::find(kDevices.begin(), kDevices.end(), strLower) != kDevices.end())
        return true;
    return strLower.size() == 4 && strLower[3] >= '1' && strLower[3] <= '9' &&
           std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                     std::string_view(strLower).substr(0, 3)) != kNumberedDevices.end();
}
