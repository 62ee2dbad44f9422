#pragma once

#include "lists/Commands.h"

#include <windows.h>

#include <string>

// Texts the window composes from what the model holds.

// A list's group box title with its count: "Available Cars (2,000)", "Installed Cars (31)", and
// "Installed Cars (2,000, full)" when no more cars can be installed.
[[nodiscard]] std::string ListTitle(CarList list, int nCount);

// A menu item naming what it would do: "&Undo Install Blazer\tCtrl+Z", or "&Undo\tCtrl+Z" when
// strWhat is empty. A car's name goes in as shown: its '&' stays a character rather than marking a
// mnemonic, and a tab or another control character in it becomes a space, so that it cannot split
// the item's text from its key.
[[nodiscard]] std::string MenuItemText(const std::string& strCommand, const std::string& strWhat,
                                       const std::string& strKey);

// Names the menu's Undo and Redo items (IDM_UNDO, IDM_REDO) for the steps they would take back or
// do again (the model names every step), each greyed when there is none; ModifyMenu keeps an
// item's place.
void NameUndoItems(HMENU hMenu, const std::string& strUndo, const std::string& strRedo);
