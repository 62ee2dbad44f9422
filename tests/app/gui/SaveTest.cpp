#include "GuiTest.h"
#include "Input.h"

#include <string>

TEST_F(GuiTest, OkRewritesTheOpponentListInItsOwnLayout) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    EndWith(*pProgram, IDC_OK);

    // The game's looser layout comes back in the program's exact one, records unchanged.
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(standard::Installed()));
    EXPECT_EQ(ReadBytes(Path("data/OPPONENT.OLD")), GameOpponentList(standard::Installed()));
}

TEST_F(GuiTest, OkAfterEditsWritesTheInstalledListInOrder) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(IDC_INSTALLED, 1); // Red Arrow, also available
    pProgram->Click(IDC_UNINSTALL);
    pProgram->Select(IDC_AVAILABLE, 0);
    pProgram->Click(IDC_INSTALL); // the available Red Arrow, another driver
    pProgram->Click(IDC_UP);      // before Ghost
    pProgram->Select(IDC_INSTALLED, 0);
    pProgram->Click(IDC_DOWN); // Old Rattler after Red Arrow
    EndWith(*pProgram, IDC_OK);

    EXPECT_EQ(
        ReadBytes(Path("data/opponent.txt")),
        WrittenOpponentList({standard::RedArrow(), standard::OldRattler(), standard::Ghost()}));
}

TEST_F(GuiTest, OkWithNoOpponentsWritesTheCountAndEnd) {
    std::filesystem::create_directories(Path("data"));
    WriteBytes(Path("data/opponent.txt"), WrittenOpponentList({}));
    const auto pProgram = StartLoaded();
    EXPECT_TRUE(pProgram->Lines(IDC_AVAILABLE).empty());
    EXPECT_TRUE(pProgram->Lines(IDC_INSTALLED).empty());

    // Commands on empty lists do nothing.
    pProgram->Click(IDC_INSTALL);
    pProgram->Click(IDC_UNINSTALL);
    pProgram->Click(IDC_UP);
    pProgram->Click(IDC_DOWN);
    EndWith(*pProgram, IDC_OK);

    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), "0\r\n\r\nEND\r\n");
}

// Every way out but Ok leaves the opponent list as it was, after changes only when the player says
// so: No, which Enter presses, keeps the dialog.
enum class EWayOut { CanButton, CloseMessage, CloseBox, EscapeKey };

class GuiCloseTest : public GuiTest, public ::testing::WithParamInterface<EWayOut> {};

TEST_P(GuiCloseTest, ClosingWithoutOkWritesNothing) {
    standard::Write(m_folder);
    const std::string strList = ReadBytes(Path("data/opponent.txt"));
    const auto pProgram = StartLoaded();

    pProgram->Select(IDC_AVAILABLE, 2);
    pProgram->Click(IDC_INSTALL);
    pProgram->Click(IDC_UP);
    pProgram->Select(IDC_INSTALLED, 1);
    pProgram->Click(IDC_UNINSTALL);
    ASSERT_EQ(pProgram->Lines(IDC_INSTALLED).size(), 3u);

    const auto leave = [&] {
        switch (GetParam()) {
        case EWayOut::CanButton:
            return pProgram->PostClick(IDC_CAN);
        case EWayOut::CloseMessage:
            return pProgram->Post(WM_CLOSE, 0, 0);
        case EWayOut::CloseBox:
            return pProgram->Post(WM_SYSCOMMAND, SC_CLOSE, 0);
        case EWayOut::EscapeKey:
            return pProgram->PressKeys(pProgram->Dialog(), {VK_ESCAPE});
        }
    };
    for (const WORD nAnswer : {WORD{VK_RETURN}, WORD{'Y'}}) {
        leave();
        const HWND hBox = pProgram->WaitForOwnWindow("gridwright");
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF)),
                  "Leave without saving? Your changes to the opponent list will be lost.");
        // Real keys: Enter presses the default button; Y ends the program, which PressKeys would
        // wait on.
        SetForegroundWindow(hBox);
        input::Keys({nAnswer});
        ASSERT_TRUE(pProgram->WaitUntilGone(hBox));
        if (nAnswer == VK_RETURN) {
            pProgram->Sync();
            EXPECT_FALSE(pProgram->HasExited()) << "No is the default";
        }
    }
    EXPECT_TRUE(pProgram->WaitForExit());

    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), strList);
    EXPECT_EQ(FolderNames(Path("data")),
              (std::vector<std::string>{"OPPONENT.OLD", "opponent.txt"}));
}

static std::string WayName(const ::testing::TestParamInfo<EWayOut>& way) {
    switch (way.param) {
    case EWayOut::CanButton:
        return "CanButton";
    case EWayOut::CloseMessage:
        return "CloseMessage";
    case EWayOut::CloseBox:
        return "CloseBox";
    case EWayOut::EscapeKey:
        break;
    }
    return "EscapeKey";
}

INSTANTIATE_TEST_SUITE_P(Ways, GuiCloseTest,
                         ::testing::Values(EWayOut::CanButton, EWayOut::CloseMessage,
                                           EWayOut::CloseBox, EWayOut::EscapeKey),
                         WayName);

// With every change undone, Escape leaves at once, as it always did.
TEST_F(GuiTest, UndoneChangesLeaveWithoutAQuestion) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Select(IDC_AVAILABLE, 2);
    pProgram->Click(IDC_INSTALL);
    pProgram->PressKeys(pProgram->Dialog(), {VK_CONTROL, 'Z'});
    ASSERT_TRUE(CProgramDriver::WaitUntil(
        [&] { return pProgram->Lines(IDC_INSTALLED).size() == standard::Installed().size(); }));
    pProgram->Activate();
    input::Keys({VK_ESCAPE});
    EXPECT_TRUE(pProgram->WaitForExit());
}

// Ok asks before it replaces a list another program changed: No keeps the dialog and the other
// list, Yes saves and keeps the other list in data\backups.
TEST_F(GuiTest, ChangedListIsAskedAboutWithYesAndNo) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const std::string strOthers = WrittenOpponentList({standard::Ghost()});
    WriteBytes(Path("data/opponent.txt"), strOthers);
    pProgram->Select(IDC_AVAILABLE, 2);
    pProgram->Click(IDC_INSTALL);

    for (const int nAnswer : {IDNO, IDYES}) {
        pProgram->PostClick(IDC_OK);
        const HWND hBox = pProgram->WaitForOwnWindow("gridwright");
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF)),
                  "data\\opponent.txt was changed by another program after Gridwright read it. "
                  "Replace it with your list? The other version is kept in data\\backups.");
        const HWND hAnswer = GetDlgItem(hBox, nAnswer);
        ASSERT_NE(hAnswer, nullptr) << "a Yes and a No button";
        PostMessageA(hAnswer, BM_CLICK, 0, 0);
        ASSERT_TRUE(pProgram->WaitUntilGone(hBox));
        if (nAnswer == IDNO) {
            pProgram->Sync();
            EXPECT_FALSE(pProgram->HasExited());
            EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), strOthers);
        }
    }
    EXPECT_TRUE(pProgram->WaitForExit());
    std::vector<CTestCar> aSaved = standard::Installed();
    aSaved.push_back(standard::BlueFin());
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(aSaved));
    std::vector<std::string> astrKept = FolderNames(Path("data/backups"));
    std::erase(astrKept, "kept-order.txt");
    ASSERT_EQ(astrKept.size(), 1u);
    EXPECT_EQ(ReadBytes(Path("data/backups") / astrKept[0]), strOthers);
}

// A read-only list is refused with a message, and the dialog stays.
TEST_F(GuiTest, ReadOnlyListIsRefused) {
    standard::Write(m_folder);
    const std::string strList = ReadBytes(Path("data/opponent.txt"));
    support::SetReadOnly(Path("data/opponent.txt"), true);
    const auto pProgram = StartLoaded();
    pProgram->Select(IDC_AVAILABLE, 2);
    pProgram->Click(IDC_INSTALL);

    pProgram->PostClick(IDC_OK);
    const HWND hBox = pProgram->WaitForOwnWindow("gridwright");
    ASSERT_NE(hBox, nullptr);
    EXPECT_TRUE(CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF))
                    .starts_with("data\\opponent.txt is read-only"));
    ASSERT_TRUE(pProgram->CloseBox(hBox));
    pProgram->Sync();
    EXPECT_FALSE(pProgram->HasExited());
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), strList);
    support::SetReadOnly(Path("data/opponent.txt"), false);
    EndWith(*pProgram, IDC_CAN);
}
