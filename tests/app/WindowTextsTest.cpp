// The texts the window composes: list titles with counts, and menu items naming a car.
#include "app/WindowTexts.h"
#include "lists/InstallerCore.h"

#include <gtest/gtest.h>

TEST(WindowTextsTest, ListTitlesCountInThousandsAndTellAFullList) {
    EXPECT_EQ(ListTitle(CarList::Available, 0), "Available Cars (0)");
    EXPECT_EQ(ListTitle(CarList::Installed, 31), "Installed Cars (31)");
    EXPECT_EQ(ListTitle(CarList::Installed, 1999), "Installed Cars (1,999)");
    EXPECT_EQ(ListTitle(CarList::Installed, CInstallerCore::kMaxCars),
              "Installed Cars (2,000, full)");
    EXPECT_EQ(ListTitle(CarList::Available, CInstallerCore::kMaxCars), "Available Cars (2,000)");
}

TEST(WindowTextsTest, MenuItemsKeepANamesAmpersandAndNoTabOrControlCharacter) {
    EXPECT_EQ(MenuItemText("&Undo", "", "Ctrl+Z"), "&Undo\tCtrl+Z");
    EXPECT_EQ(MenuItemText("&Undo", "Install Blazer", "Ctrl+Z"), "&Undo Install Blazer\tCtrl+Z");
    EXPECT_EQ(MenuItemText("&Redo", "Move Up R&D \"Fast\"", "Ctrl+Y"),
              "&Redo Move Up R&&D \"Fast\"\tCtrl+Y");
    EXPECT_EQ(MenuItemText("&Undo", "Install A\tB\r\nC\x7f\x01", "Ctrl+Z"),
              "&Undo Install A B  C  \tCtrl+Z");
    // Characters of the code page above 127 are a name's own.
    EXPECT_EQ(MenuItemText("&Undo",
                           "Install Fl\xe8"
                           "che",
                           "Ctrl+Z"),
              "&Undo Install Fl\xe8"
              "che\tCtrl+Z");
}
