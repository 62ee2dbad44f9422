#include "GuiTest.h"

#include "Input.h"
#include "Screenshot.h"

#include <algorithm>
#include <iostream>

namespace {

using Lines = std::vector<std::string>;

constexpr int kMessageText = 0xFFFF; // the text of a message box

HWND OpenRestoreDialog(CProgramDriver& program) {
    program.Post(WM_SYSCOMMAND, IDM_RESTORE, 0);
    return program.WaitForOwnWindow("Restore Opponent List");
}

void SelectKept(HWND hRestore, int nIndex) {
    const HWND hList = GetDlgItem(hRestore, IDC_KEPT_LISTS);
    CProgramDriver::Send(hList, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    CProgramDriver::Send(hRestore, WM_COMMAND, MAKEWPARAM(IDC_KEPT_LISTS, LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(hList));
}

POINT Centre(HWND hWindow) {
    RECT rect{};
    GetWindowRect(hWindow, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The list as the program writes it, cut after its first record: it cannot be read whole.
std::string Damaged(const std::vector<CTestCar>& aCars) {
    std::string str = WrittenOpponentList(aCars);
    return str.substr(0, str.find("// Opponent 1"));
}

} // namespace

TEST_F(GuiTest, RestoreDialogShowsKeptListsAndEnterRestoresOneUndoableStep) {
    standard::Write(m_folder);
    const std::vector<CTestCar> aKept = {standard::Ghost(), standard::BlueFin(),
                                         standard::OldRattler(), standard::Comet()};
    WriteBytes(Path("data/backups/opponent-20261208-071502.txt"), WrittenOpponentList(aKept));
    WriteBytes(Path("data/backups/opponent-20261209-101500.txt"),
               Damaged({standard::Comet(), standard::Ghost()}));
    const auto pProgram = StartLoaded();
    const Lines aInstalled = standard::Names(standard::Installed());
    const Lines aAvailable = standard::Names(standard::Available());

    const HWND hRestore = OpenRestoreDialog(*pProgram);
    EXPECT_EQ(GetWindow(hRestore, GW_OWNER), pProgram->Dialog());
    const POINT restoreCentre = Centre(hRestore);
    const POINT dialogCentre = Centre(pProgram->Dialog());
    EXPECT_LE(std::abs(restoreCentre.x - dialogCentre.x), 2);
    EXPECT_LE(std::abs(restoreCentre.y - dialogCentre.y), 2);
    EXPECT_EQ(CProgramDriver::ListLines(GetDlgItem(hRestore, IDC_KEPT_LISTS)),
              (Lines{"2026-12-09 10:15:00 - 1 opponent (damaged)",
                     "2026-12-08 07:15:02 - 4 opponents", "Before Gridwright - 3 opponents"}));
    // The newest list that can be restored comes selected.
    EXPECT_EQ(CProgramDriver::Send(GetDlgItem(hRestore, IDC_KEPT_LISTS), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(CProgramDriver::ListLines(GetDlgItem(hRestore, IDC_KEPT_CARS)),
              standard::Names(aKept));
    EXPECT_EQ(CProgramDriver::WindowText(GetDlgItem(hRestore, IDC_KEPT_DIFFERENCE)),
              "2 cars more, 1 less, 1 in another place");
    std::filesystem::create_directories(ArtifactsFolder());
    Sleep(300);
    SaveScreenshot(hRestore, ArtifactsFolder() / "restore-dialog.bmp");
    std::cout << "Screenshot of the restore dialog: " << GUI_ARTIFACTS_DIR
              << "/restore-dialog.bmp\n";

    // A damaged copy is shown, not restored: Enter does nothing then.
    SelectKept(hRestore, 0);
    EXPECT_EQ(CProgramDriver::ListLines(GetDlgItem(hRestore, IDC_KEPT_CARS)), (Lines{"Comet"}));
    EXPECT_NE(CProgramDriver::WindowText(GetDlgItem(hRestore, IDC_KEPT_DIFFERENCE)).find("damaged"),
              std::string::npos);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hRestore, IDOK)));
    pProgram->PressKeys(hRestore, {VK_RETURN});
    EXPECT_TRUE(IsWindowVisible(hRestore));
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);

    SelectKept(hRestore, 2); // the list before any change is the one loaded
    EXPECT_EQ(CProgramDriver::WindowText(GetDlgItem(hRestore, IDC_KEPT_DIFFERENCE)),
              "The same cars in the same order as the installed list");
    SelectKept(hRestore, 1);
    pProgram->PressKeys(hRestore, {VK_RETURN});
    ASSERT_TRUE(pProgram->WaitUntilGone(hRestore));
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), standard::Names(aKept));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), GameOpponentList(standard::Installed()))
        << "nothing is written before Ok";

    pProgram->Post(WM_SYSCOMMAND, IDM_UNDO, 0);
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);
    pProgram->Post(WM_SYSCOMMAND, IDM_REDO, 0);
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), standard::Names(aKept));

    // The restored cars carry their whole records into the opponent list.
    EndWith(*pProgram, IDC_OK);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(aKept));
}

// The way back from a missing list, with real keys: the message names the menu item, the kept
// list restored makes Ok work, and Enter saves it.
TEST_F(GuiTest, AMissingListRestoredIsSavedWithEnter) {
    standard::Write(m_folder);
    std::filesystem::rename(Path("data/opponent.txt"), Path("data/OPPONENT.OLD"));
    CProgramDriver program(m_folder);
    ASSERT_EQ(program.WaitUntilLoaded(), CProgramDriver::ELoad::ErrorBox);
    const HWND hBox = program.FindOwnWindow("gridwright");
    EXPECT_NE(CProgramDriver::WindowText(GetDlgItem(hBox, kMessageText))
                  .find("Restore Opponent List in the window menu"),
              std::string::npos);
    ASSERT_TRUE(program.CloseBox(hBox));
    program.Sync();
    EXPECT_FALSE(program.IsEnabled(IDC_OK));

    const HWND hRestore = OpenRestoreDialog(program);
    ASSERT_NE(hRestore, nullptr);
    program.PressKeys(hRestore, {VK_RETURN});
    ASSERT_TRUE(program.WaitUntilGone(hRestore));
    program.Sync();
    EXPECT_TRUE(program.IsEnabled(IDC_OK));
    EXPECT_EQ(program.Lines(IDC_INSTALLED), standard::Names(standard::Installed()));

    program.Activate();
    input::Keys({VK_RETURN});
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(standard::Installed()));
}

TEST_F(GuiTest, EscapeCancelsTheRestoreDialogWhichSaysWhenThereIsNothingToRestore) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const Lines aInstalled = standard::Names(standard::Installed());

    HWND hRestore = OpenRestoreDialog(*pProgram);
    SelectKept(hRestore, 0);
    pProgram->PressKeys(hRestore, {VK_ESCAPE});
    ASSERT_TRUE(pProgram->WaitUntilGone(hRestore));
    pProgram->Sync();
    EXPECT_FALSE(pProgram->HasExited());
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);
    pProgram->Post(WM_SYSCOMMAND, IDM_UNDO, 0); // nothing was done, so nothing is undone
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);

    std::filesystem::remove(Path("data/OPPONENT.OLD"));
    hRestore = OpenRestoreDialog(*pProgram);
    EXPECT_TRUE(CProgramDriver::ListLines(GetDlgItem(hRestore, IDC_KEPT_LISTS)).empty());
    EXPECT_EQ(CProgramDriver::WindowText(GetDlgItem(hRestore, IDC_KEPT_DIFFERENCE))
                  .rfind("There is nothing to restore", 0),
              0u);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hRestore, IDOK)));
    Sleep(300);
    SaveScreenshot(hRestore, ArtifactsFolder() / "restore-nothing.bmp");
    pProgram->PressKeys(hRestore, {VK_RETURN}); // the focus is on Cancel
    ASSERT_TRUE(pProgram->WaitUntilGone(hRestore));
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);

    EndWith(*pProgram, IDC_CAN);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), GameOpponentList(standard::Installed()));
}

TEST_F(GuiTest, NotReadBoxListsThePassedOverFilesOnlyWhenAsked) {
    standard::Write(m_folder); // "ghost.c2c" is too short to be a car
    constexpr int kMoreBadFiles = 34;
    for (int i = 0; i < kMoreBadFiles; ++i)
        WriteBytes(Path(("bad" + std::to_string(100 + i) + ".c2c").c_str()), "no car\r\n");
    const auto pProgram = StartLoaded();
    EXPECT_EQ(pProgram->FindOwnWindow("Car Files Not Read"), nullptr) << "nothing at start-up";

    pProgram->Post(WM_SYSCOMMAND, IDM_NOT_READ, 0);
    const HWND hBox = pProgram->WaitForOwnWindow("Car Files Not Read");
    const std::string strText = CProgramDriver::WindowText(GetDlgItem(hBox, kMessageText));
    Lines aLines;
    for (std::size_t nStart = 0; nStart <= strText.size();) {
        const std::size_t nEnd = std::min(strText.find("\r\n", nStart), strText.size());
        aLines.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    ASSERT_GE(aLines.size(), 31u) << strText;
    EXPECT_EQ(aLines.back(), "... and 5 more");
    const Lines aNamed(aLines.end() - 31, aLines.end() - 1);
    for (const std::string& strLine : aNamed)
        EXPECT_TRUE(strLine.rfind("bad1", 0) == 0 || strLine.rfind("ghost.c2c: ", 0) == 0)
            << strLine;
    EXPECT_NE(
        std::find_if(aNamed.begin(), aNamed.end(),
                     [](const std::string& str) { return str.rfind("bad100.c2c: ", 0) == 0; }),
        aNamed.end());
    Sleep(300);
    std::filesystem::create_directories(ArtifactsFolder());
    SaveScreenshot(hBox, ArtifactsFolder() / "not-read-box.bmp");
    std::cout << "Screenshot of the box: " << GUI_ARTIFACTS_DIR << "/not-read-box.bmp\n";
    ASSERT_TRUE(pProgram->CloseBox(hBox));

    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), standard::Names(standard::Available()));
    EndWith(*pProgram, IDC_CAN);

    // With every file read, the command shows nothing.
    std::filesystem::remove(Path("ghost.c2c"));
    for (int i = 0; i < kMoreBadFiles; ++i)
        std::filesystem::remove(Path(("bad" + std::to_string(100 + i) + ".c2c").c_str()));
    const auto pAgain = StartLoaded();
    pAgain->Post(WM_SYSCOMMAND, IDM_NOT_READ, 0);
    pAgain->Sync();
    EXPECT_EQ(pAgain->FindOwnWindow("Car Files Not Read"), nullptr);
    EndWith(*pAgain, IDC_CAN);
}
