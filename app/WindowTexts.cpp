#include "app/WindowTexts.h"

#include "lists/InstallerCore.h"
#include "lists/Thousands.h"

#include <algorithm>

std::string ListTitle(CarList list, int nCount) {
    const bool bInstalled = list == CarList::Installed;
    std::string str = bInstalled ? "Installed Cars (" : "Available Cars (";
    str += WithThousands(static_cast<std::size_t>(std::max(nCount, 0)));
    if (bInstalled && nCount >= CInstallerCore::kMaxCars)
        str += ", full";
    return str + ")";
}

std::string MenuItemText(const std::string& strCommand, const std::string& strWhat,
                         const std::string& strKey) {
    std::string str = strCommand;
    if (!strWhat.empty())
        str += ' ';
    for (const char c : strWhat) {
        if (c == '&')
            str += "&&";
        else if (static_cast<unsigned char>(c) < ' ' || c == '\x7f')
            str += ' ';
        else
            str += c;
    }
    return str + '\t' + strKey;
}
