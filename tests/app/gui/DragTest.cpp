// Drag and drop with the mouse, within the installed list and between the lists.
#include "GuiTest.h"
#include "Input.h"

using standard::Names;

namespace {

using Lines = std::vector<std::string>;

// Below the last line of a list: where a car dropped goes last.
POINT BelowTheLines(const CProgramDriver& program, int nListId) {
    const RECT rect = CProgramDriver::ScreenRect(program.Control(nListId));
    return {rect.left + 20, rect.bottom - 10};
}

// Waits until the installed list shows these lines; false when it never does.
bool Installed(const CProgramDriver& program, const Lines& aExpected) {
    return CProgramDriver::WaitUntil([&] { return program.Lines(IDC_INSTALLED) == aExpected; });
}

} // namespace

TEST_F(GuiTest, DraggingWithinTheInstalledListMovesTheCar) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();

    // Ghost onto the first line goes before it.
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 2), pProgram->LinePoint(IDC_INSTALLED, 0));
    EXPECT_TRUE(Installed(*pProgram, {"Ghost", "Old Rattler", "Red Arrow"}));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 0);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Ghost()));

    // Below the last line it goes last.
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 0), BelowTheLines(*pProgram, IDC_INSTALLED));
    EXPECT_TRUE(Installed(*pProgram, {"Old Rattler", "Red Arrow", "Ghost"}));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 2);

    // Onto a later line it goes before that line.
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 0), pProgram->LinePoint(IDC_INSTALLED, 2));
    EXPECT_TRUE(Installed(*pProgram, {"Red Arrow", "Old Rattler", "Ghost"}));
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 1), pProgram->LinePoint(IDC_INSTALLED, 0));
    EXPECT_TRUE(Installed(*pProgram, {"Old Rattler", "Red Arrow", "Ghost"}));

    // A click is a drop onto its own line: it only selects.
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 1), pProgram->LinePoint(IDC_INSTALLED, 1));
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->Selection(IDC_INSTALLED) == 1; }));
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), (Lines{"Old Rattler", "Red Arrow", "Ghost"}));

    // The records moved with their lines.
    EndWith(*pProgram, IDC_OK);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList(
                  {standard::OldRattler(), standard::RedArrowInstalled(), standard::Ghost()}));
}

TEST_F(GuiTest, DraggingBetweenTheListsInstallsAndUninstalls) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();

    // Comet onto the second installed line is installed there.
    input::Drag(pProgram->LinePoint(IDC_AVAILABLE, 1), pProgram->LinePoint(IDC_INSTALLED, 1));
    const Lines aInstalled{"Old Rattler", "Comet", "Red Arrow", "Ghost"};
    EXPECT_TRUE(
        CProgramDriver::WaitUntil([&] { return pProgram->Lines(IDC_INSTALLED) == aInstalled; }));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 1);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Comet()));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), Names(standard::Available()));

    // Old Rattler onto the available list is uninstalled, and exported as no car has its name.
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 0), pProgram->LinePoint(IDC_AVAILABLE, 0));
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] {
        return pProgram->Lines(IDC_INSTALLED) == Lines{"Comet", "Red Arrow", "Ghost"};
    }));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE).back(), "Old Rattler");
    EXPECT_EQ(ReadBytes(Path("Old Rattler.C2C")), KeptText(standard::OldRattler()));

    // An available car dropped on its own list changes nothing; a double click still installs.
    input::Drag(pProgram->LinePoint(IDC_AVAILABLE, 0), pProgram->LinePoint(IDC_AVAILABLE, 2));
    Sleep(300);
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), (Lines{"Comet", "Red Arrow", "Ghost"}));
    input::DoubleClick(pProgram->LinePoint(IDC_AVAILABLE, 2));
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] {
        return pProgram->Lines(IDC_INSTALLED) == Lines{"Comet", "Red Arrow", "Ghost", "Blue Fin"};
    }));

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, EscapeCancelsADrag) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();

    input::MoveTo(pProgram->LinePoint(IDC_INSTALLED, 2));
    input::LeftDown();
    input::MoveTo(pProgram->LinePoint(IDC_INSTALLED, 1));
    input::MoveTo(pProgram->LinePoint(IDC_INSTALLED, 0));
    input::Keys({VK_ESCAPE});
    Sleep(200);
    input::LeftUp();
    Sleep(300);
    pProgram->Sync();

    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), Names(standard::Installed()));
    EXPECT_FALSE(pProgram->HasExited()) << "Escape ended the drag, not the dialog";
    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, UndoKeysWaitForADragToEnd) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 0), BelowTheLines(*pProgram, IDC_INSTALLED));
    ASSERT_TRUE(Installed(*pProgram, {"Red Arrow", "Ghost", "Old Rattler"}));

    // Undone midway, the drag would drop whichever car the undo left on the dragged line.
    input::MoveTo(pProgram->LinePoint(IDC_INSTALLED, 0));
    input::LeftDown();
    input::MoveTo(pProgram->LinePoint(IDC_INSTALLED, 1));
    input::MoveTo(BelowTheLines(*pProgram, IDC_INSTALLED));
    input::Keys({VK_CONTROL, 'Z'});
    Sleep(200);
    input::LeftUp();
    EXPECT_TRUE(Installed(*pProgram, {"Ghost", "Old Rattler", "Red Arrow"}));

    // Afterwards the key undoes the drop.
    input::Keys({VK_CONTROL, 'Z'});
    EXPECT_TRUE(Installed(*pProgram, {"Red Arrow", "Ghost", "Old Rattler"}));
    EndWith(*pProgram, IDC_CAN);
}
