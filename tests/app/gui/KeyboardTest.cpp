// The keyboard from the first moment: the focus after the load, the lists' keys and typing,
// pressed as a user presses them.
#include "GuiTest.h"
#include "Input.h"

using standard::Names;

namespace {

using Lines = std::vector<std::string>;

} // namespace

TEST_F(GuiTest, AfterTheLoadTheFocusIsOnTheAvailableList) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    EXPECT_EQ(pProgram->Focus(), pProgram->Control(IDC_AVAILABLE));

    // So the first key works: Down selects the first car and shows it.
    input::Keys({VK_DOWN});
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->Selection(IDC_AVAILABLE) == 0; }));
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), RecordInfo(standard::RedArrow()));

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, AfterAStoppedLoadTheFocusIsOnCan) {
    standard::Write(m_folder);
    std::filesystem::remove(Path("data/opponent.txt"));
    WriteBytes(Path("data/OPPONENT.OLD"), GameOpponentList(standard::Installed()));
    CProgramDriver program(m_folder);
    ASSERT_EQ(program.WaitUntilLoaded(), CProgramDriver::ELoad::ErrorBox);
    const HWND hBox = program.WaitForOwnWindow("gridwright");
    const std::string strMessage = CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF));
    EXPECT_NE(strMessage.find("installation folder"), std::string::npos) << strMessage;
    EXPECT_NE(strMessage.find("Restore Opponent List"), std::string::npos) << strMessage;
    ASSERT_TRUE(program.CloseBox(hBox));
    program.Sync();

    EXPECT_FALSE(program.IsEnabled(IDC_OK));
    EXPECT_EQ(program.Focus(), program.Control(IDC_CAN));
    // Space presses the focused button: the program ends without writing.
    program.Activate();
    input::Keys({VK_SPACE});
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(std::filesystem::exists(Path("data/opponent.txt")));
}

TEST_F(GuiTest, KeysOfTheInstalledListMoveAndUninstall) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    input::Keys({VK_TAB}); // from the available list to the installed one
    ASSERT_TRUE(CProgramDriver::WaitUntil(
        [&] { return pProgram->Focus() == pProgram->Control(IDC_INSTALLED); }));
    input::Keys({VK_DOWN});
    ASSERT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->Selection(IDC_INSTALLED) == 0; }));

    const auto press = [&](std::initializer_list<WORD> aKeys, const Lines& aExpected,
                           int nSelected) {
        input::Keys(aKeys);
        EXPECT_TRUE(CProgramDriver::WaitUntil([&] {
            return pProgram->Lines(IDC_INSTALLED) == aExpected &&
                   pProgram->Selection(IDC_INSTALLED) == nSelected;
        })) << "after key "
            << *aKeys.begin() << "+" << *(aKeys.end() - 1);
    };
    press({VK_CONTROL, VK_END}, {"Red Arrow", "Ghost", "Old Rattler"}, 2);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::OldRattler()));
    press({VK_CONTROL, VK_HOME}, {"Old Rattler", "Red Arrow", "Ghost"}, 0);
    press({VK_CONTROL, VK_DOWN}, {"Red Arrow", "Old Rattler", "Ghost"}, 1);
    press({VK_CONTROL, VK_UP}, {"Old Rattler", "Red Arrow", "Ghost"}, 0);
    // Insert belongs to the available list: here it does nothing.
    input::Keys({VK_INSERT});
    pProgram->Sync();
    press({VK_DELETE}, {"Red Arrow", "Ghost"}, -1);
    EXPECT_EQ(ReadBytes(Path("Old Rattler.C2C")), KeptText(standard::OldRattler()));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE).back(), "Old Rattler");

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, TypingAndInsertInTheAvailableListThenEnterIsOk) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    const auto selected = [&](int nIndex) {
        return CProgramDriver::WaitUntil(
            [&] { return pProgram->Selection(IDC_AVAILABLE) == nIndex; });
    };

    // "Red Arrow", "Comet", "Blue Fin": no car begins with "o" alone.
    input::Type("co");
    EXPECT_TRUE(selected(1));
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), RecordInfo(standard::Comet()));
    input::Type("x");
    Sleep(300);
    EXPECT_TRUE(selected(1)) << "\"cox\" matches nothing: the selection stays";
    Sleep(1100);
    input::Type("B");
    EXPECT_TRUE(selected(2)) << "after a pause the typing starts afresh";

    // Delete belongs to the installed list: here it does nothing.
    input::Keys({VK_DELETE});
    input::Keys({VK_INSERT});
    Lines aInstalled = Names(standard::Installed());
    aInstalled.push_back("Blue Fin");
    EXPECT_TRUE(
        CProgramDriver::WaitUntil([&] { return pProgram->Lines(IDC_INSTALLED) == aInstalled; }));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), Names(standard::Available()));

    // Enter still means Ok.
    input::Keys({VK_RETURN});
    EXPECT_TRUE(pProgram->WaitForExit());
    std::vector<CTestCar> aWritten = standard::Installed();
    aWritten.push_back(standard::BlueFin());
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(aWritten));
}
