#include "GuiTest.h"

#include "Screenshot.h"

#include <algorithm>
#include <iostream>
#include <map>

namespace {

using Lines = std::vector<std::string>;

// What undo and redo must give back, as the dialog shows it.
struct Shown {
    Lines aAvailable;
    Lines aInstalled;
    int nAvailableSel;
    int nInstalledSel;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& shown) {
    for (const std::string& str : shown.aAvailable)
        os << str << ", ";
    os << "sel " << shown.nAvailableSel << " | ";
    for (const std::string& str : shown.aInstalled)
        os << str << ", ";
    return os << "sel " << shown.nInstalledSel;
}

Shown Show(const CProgramDriver& program) {
    return {program.Lines(IDC_AVAILABLE), program.Lines(IDC_INSTALLED),
            program.Selection(IDC_AVAILABLE), program.Selection(IDC_INSTALLED)};
}

void Command(CProgramDriver& program, WPARAM nId) {
    program.Post(WM_SYSCOMMAND, nId, 0);
    program.Sync();
}

} // namespace

TEST_F(GuiTest, MenuCommandsUndoAndRedoEveryStepAndKeepExportedFiles) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const Lines aAvailable = standard::Names(standard::Available());
    const Lines aFiles = FolderNames(m_folder);

    pProgram->Select(IDC_AVAILABLE, 2);
    const Shown loaded = Show(*pProgram);
    pProgram->Click(IDC_INSTALL); // Blue Fin
    const Shown installed = Show(*pProgram);
    pProgram->Click(IDC_UP);
    const Shown moved = Show(*pProgram);
    pProgram->Select(IDC_INSTALLED, 3);
    const Shown ghostSelected = Show(*pProgram);
    pProgram->Click(IDC_UNINSTALL); // Ghost, known nowhere else: exported
    const Shown exported = Show(*pProgram);
    ASSERT_EQ(exported.aInstalled, (Lines{"Old Rattler", "Red Arrow", "Blue Fin"}));
    ASSERT_EQ(exported.aAvailable.back(), "Ghost");
    const Lines aExportedFiles = FolderNames(m_folder);
    ASSERT_EQ(aExportedFiles.size(), aFiles.size() + 1);

    // The exported car stays available, where its file is.
    Command(*pProgram, IDM_UNDO);
    EXPECT_EQ(Show(*pProgram), (Shown{exported.aAvailable, ghostSelected.aInstalled,
                                      ghostSelected.nAvailableSel, 3}));
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Ghost()));
    Command(*pProgram, IDM_UNDO);
    EXPECT_EQ(Show(*pProgram), (Shown{exported.aAvailable, installed.aInstalled, 2, 3}));
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::BlueFin()));
    Command(*pProgram, IDM_UNDO);
    EXPECT_EQ(Show(*pProgram), (Shown{exported.aAvailable, loaded.aInstalled, 2, -1}));
    Command(*pProgram, IDM_UNDO); // nothing more to undo
    EXPECT_EQ(Show(*pProgram).aInstalled, loaded.aInstalled);

    Command(*pProgram, IDM_REDO);
    EXPECT_EQ(Show(*pProgram), (Shown{exported.aAvailable, installed.aInstalled, 2, 3}));
    Command(*pProgram, IDM_REDO);
    EXPECT_EQ(Show(*pProgram), (Shown{exported.aAvailable, moved.aInstalled, 2, 2}));
    Command(*pProgram, IDM_REDO); // removes Ghost only: an available Ghost exists now
    EXPECT_EQ(Show(*pProgram), exported);
    EXPECT_EQ(FolderNames(m_folder), aExportedFiles);

    EndWith(*pProgram, IDC_OK);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList(
                  {standard::OldRattler(), standard::RedArrowInstalled(), standard::BlueFin()}));
}

TEST_F(GuiTest, KeysUndoAndRedoWhicheverControlHasTheFocus) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const HWND hDialog = pProgram->Dialog();
    const Lines aInstalled = standard::Names(standard::Installed());
    const auto withCars = [&aInstalled](std::initializer_list<const char*> aNames) {
        Lines aLines = aInstalled;
        aLines.insert(aLines.end(), aNames.begin(), aNames.end());
        return aLines;
    };
    pProgram->DoubleClick(IDC_AVAILABLE, 0);
    pProgram->DoubleClick(IDC_AVAILABLE, 1);
    ASSERT_EQ(pProgram->Lines(IDC_INSTALLED), withCars({"Red Arrow", "Comet"}));

    pProgram->Focus(IDC_UP);
    pProgram->PressKeys(hDialog, {VK_CONTROL, 'Z'});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), withCars({"Red Arrow"}));
    pProgram->Focus(IDC_AVAILABLE);
    pProgram->PressKeys(hDialog, {VK_CONTROL, 'Z'});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 0) << "the car the step acted on";
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), standard::Names(standard::Available()))
        << "no key reached the list box as a search";

    pProgram->Focus(IDC_INSTALLED_INFO);
    pProgram->PressKeys(hDialog, {VK_CONTROL, 'Y'});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), withCars({"Red Arrow"}));
    pProgram->Focus(IDC_INSTALLED);
    pProgram->PressKeys(hDialog, {VK_CONTROL, VK_SHIFT, 'Z'});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), withCars({"Red Arrow", "Comet"}));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 4);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Comet()));
    // A plain Z is no command.
    pProgram->PressKeys(hDialog, {'Z'});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), withCars({"Red Arrow", "Comet"}));

    EndWith(*pProgram, IDC_CAN);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), GameOpponentList(standard::Installed()));
}

namespace {

// The program's own items of the system menu, in the order it appends them below a separator.
constexpr UINT kOwnItems[] = {IDM_UNDO, IDM_REDO, IDM_RESTORE, IDM_NOT_READ, IDM_SHOWPICTURES};

struct ItemDrawn {
    bool bEnabled = false; // its text has black in it, where a greyed item's has none
    bool bChecked = false; // black in the margin left of the text
};

// Opens the system menu with Alt+Space and tells how each of the program's own items is drawn,
// by command id. Closes the menu again.
std::map<UINT, ItemDrawn> OwnMenuItemsDrawn(CProgramDriver& program, const char* pszShot) {
    program.PressKeys(program.Dialog(), {VK_MENU, VK_SPACE});
    HWND hMenu = nullptr;
    for (int i = 0; i < 100 && !(hMenu = program.FindMenuWindow()); ++i)
        Sleep(50);
    if (!hMenu)
        throw std::runtime_error("the system menu did not open");
    Sleep(300); // drawn
    std::filesystem::create_directories(ArtifactsFolder());
    SaveScreenshot(hMenu, ArtifactsFolder() / pszShot);
    const CWindowPicture picture = CaptureWindow(hMenu);
    // Escape closes the pop-up, yet leaves the window in menu mode, where a second one would
    // be taken by the dialog as Cancel; the mode is ended as a click elsewhere would end it.
    program.PressKeys(program.Dialog(), {VK_ESCAPE});
    program.Post(WM_CANCELMODE, 0, 0);
    program.Sync();

    // Rows with ink, inside the frame, grouped into bands: one per item or separator. A blank
    // row or two inside a band is the gap above a mnemonic's underline; a separator's etched
    // line is the only band this thin.
    constexpr int kLongestGap = 2;
    constexpr int kThickestSeparator = 3;
    constexpr int kTextLeft = 18; // the check mark stands left of this
    struct Band {
        int nTop = 0;
        int nBottom = 0;
        ItemDrawn drawn;
    };
    const std::uint32_t nBackground = picture.At(picture.nWidth / 2, picture.nHeight - 5);
    std::vector<Band> aBands;
    for (int y = 4; y < picture.nHeight - 4; ++y) {
        bool bInk = false;
        ItemDrawn row;
        for (int x = 6; x < picture.nWidth - 6; ++x) {
            const std::uint32_t n = picture.At(x, y);
            bInk = bInk || n != nBackground;
            row.bEnabled = row.bEnabled || (n == 0 && x >= kTextLeft);
            row.bChecked = row.bChecked || (n == 0 && x < kTextLeft);
        }
        if (!bInk)
            continue;
        if (aBands.empty() || y - aBands.back().nBottom > kLongestGap + 1)
            aBands.push_back({y, y, {}});
        Band& band = aBands.back();
        band.nBottom = y;
        band.drawn.bEnabled = band.drawn.bEnabled || row.bEnabled;
        band.drawn.bChecked = band.drawn.bChecked || row.bChecked;
    }
    const auto itSeparator = std::find_if(aBands.rbegin(), aBands.rend(), [](const Band& band) {
        return band.nBottom - band.nTop < kThickestSeparator;
    });
    const auto nOwn = static_cast<std::size_t>(itSeparator - aBands.rbegin());
    if (nOwn != std::size(kOwnItems))
        throw std::runtime_error("the system menu shows " + std::to_string(nOwn) +
                                 " items below its last separator, not " +
                                 std::to_string(std::size(kOwnItems)));
    std::map<UINT, ItemDrawn> items;
    for (std::size_t i = 0; i < nOwn; ++i)
        items[kOwnItems[i]] = aBands[aBands.size() - nOwn + i].drawn;
    return items;
}

// Whether each item is drawn enabled, in the order of the ids given.
std::vector<bool> ItemsEnabled(CProgramDriver& program, const char* pszShot,
                               std::initializer_list<UINT> aIds) {
    const std::map<UINT, ItemDrawn> items = OwnMenuItemsDrawn(program, pszShot);
    std::vector<bool> aEnabled;
    for (const UINT nId : aIds)
        aEnabled.push_back(items.at(nId).bEnabled);
    return aEnabled;
}

constexpr std::initializer_list<UINT> kUndoRedoRestoreNotRead = {IDM_UNDO, IDM_REDO, IDM_RESTORE,
                                                                 IDM_NOT_READ};

} // namespace

TEST_F(GuiTest, SystemMenuGreysWhatCannotBeDone) {
    standard::Write(m_folder); // "ghost.c2c" is passed over
    const auto pProgram = StartLoaded();
    EXPECT_EQ(ItemsEnabled(*pProgram, "menu-loaded.bmp", kUndoRedoRestoreNotRead),
              (std::vector<bool>{false, false, true, true}));
    ASSERT_FALSE(pProgram->HasExited()) << "Escape closed the menu only";

    pProgram->DoubleClick(IDC_AVAILABLE, 0);
    EXPECT_EQ(ItemsEnabled(*pProgram, "menu-after-install.bmp", kUndoRedoRestoreNotRead),
              (std::vector<bool>{true, false, true, true}));
    Command(*pProgram, IDM_UNDO);
    EXPECT_EQ(ItemsEnabled(*pProgram, "menu-after-undo.bmp", kUndoRedoRestoreNotRead),
              (std::vector<bool>{false, true, true, true}));
    // Show Pictures can always be chosen; it is checked while the pictures show, not at start.
    EXPECT_FALSE(
        OwnMenuItemsDrawn(*pProgram, "menu-pictures-hidden.bmp").at(IDM_SHOWPICTURES).bChecked);
    Command(*pProgram, IDM_SHOWPICTURES);
    const ItemDrawn pictures =
        OwnMenuItemsDrawn(*pProgram, "menu-pictures-shown.bmp").at(IDM_SHOWPICTURES);
    EXPECT_TRUE(pictures.bEnabled);
    EXPECT_TRUE(pictures.bChecked);
    std::cout << "Screenshots of the system menu: " << GUI_ARTIFACTS_DIR << "/menu-*.bmp\n";

    // With every car file read, there is nothing to list.
    std::filesystem::remove(Path("ghost.c2c"));
    EndWith(*pProgram, IDC_CAN);
    const auto pAgain = StartLoaded();
    EXPECT_EQ(ItemsEnabled(*pAgain, "menu-all-read.bmp", kUndoRedoRestoreNotRead),
              (std::vector<bool>{false, false, true, false}));
    EndWith(*pAgain, IDC_CAN);
}
