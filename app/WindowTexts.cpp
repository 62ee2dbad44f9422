#include "app/WindowTexts.h"

#include "app/ResourceIds.h"

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

void NameUndoItems(HMENU hMenu, const std::string& strUndo, const std::string& strRedo) {
    const auto name = [hMenu](UINT nId, const std::string& strText, const std::string& strWhat) {
        ::ModifyMenuA(hMenu, nId,
                      MF_BYCOMMAND | MF_STRING | (strWhat.empty() ? MF_GRAYED : MF_ENABLED), nId,
                      strText.c_str());
    };
    name(IDM_UNDO, MenuItemText("&Undo", strUndo, "Ctrl+Z"), strUndo);
    name(IDM_REDO, MenuItemText("&Redo", strRedo, "Ctrl+Y"), strRedo);
}
