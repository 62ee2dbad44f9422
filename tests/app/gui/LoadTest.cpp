#include "GuiTest.h"

using standard::Names;

TEST_F(GuiTest, LoadListsCarFilesByNameAndOpponentsInFileOrder) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    // "ghost.c2c" is too short to be a car and is left out.
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), Names(standard::Available()));
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), Names(standard::Installed()));
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), -1);
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), -1);
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), "");
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), "");
    EXPECT_TRUE(pProgram->IsEnabled(IDC_OK));

    EndWith(*pProgram, IDC_CAN);
    // The backup holds the opponent list as the game had it.
    EXPECT_EQ(FolderNames(Path("data")),
              (std::vector<std::string>{"OPPONENT.OLD", "opponent.txt"}));
    EXPECT_EQ(ReadBytes(Path("data/OPPONENT.OLD")), GameOpponentList(standard::Installed()));
}

TEST_F(GuiTest, LoadKeepsAnExistingBackup) {
    standard::Write(m_folder);
    const std::string strOlder = "1\r\n\r\nan older opponent list\r\nEND\r\n";
    WriteBytes(Path("data/opponent.old"), strOlder);

    const auto pProgram = StartLoaded();
    EndWith(*pProgram, IDC_CAN);

    EXPECT_EQ(FolderNames(Path("data")),
              (std::vector<std::string>{"opponent.old", "opponent.txt"}));
    EXPECT_EQ(ReadBytes(Path("data/opponent.old")), strOlder);
}

TEST_F(GuiTest, LoadAfterAnExportListsTheExportedCar) {
    standard::Write(m_folder);
    {
        const auto pProgram = StartLoaded();
        pProgram->Select(IDC_INSTALLED, 0);
        pProgram->Click(IDC_UNINSTALL);
        EndWith(*pProgram, IDC_CAN);
    }
    // "Old Rattler.C2C" sorts after "ghost.c2c", which is still left out.
    const auto pProgram = StartLoaded();
    std::vector<std::string> aExpected = Names(standard::Available());
    aExpected.push_back("Old Rattler");
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aExpected);
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), Names(standard::Installed()));
    EndWith(*pProgram, IDC_CAN);
}
