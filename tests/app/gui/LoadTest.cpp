#include "GuiTest.h"

using standard::Names;

TEST_F(GuiTest, LoadListsCarFilesByNameAndOpponentsInFileOrder) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    // "ghost.c2c" is too short to be a car and is left out.
    EXPECT_EQ(pProgram->Lines(kAvailableList), Names(standard::Available()));
    EXPECT_EQ(pProgram->Lines(kInstalledList), Names(standard::Installed()));
    EXPECT_EQ(pProgram->Selection(kAvailableList), -1);
    EXPECT_EQ(pProgram->Selection(kInstalledList), -1);
    EXPECT_EQ(pProgram->Text(kAvailableInfo), "");
    EXPECT_EQ(pProgram->Text(kInstalledInfo), "");
    EXPECT_TRUE(pProgram->IsEnabled(kOkButton));

    EndWith(*pProgram, kCanButton);
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
    EndWith(*pProgram, kCanButton);

    EXPECT_EQ(FolderNames(Path("data")),
              (std::vector<std::string>{"opponent.old", "opponent.txt"}));
    EXPECT_EQ(ReadBytes(Path("data/opponent.old")), strOlder);
}

TEST_F(GuiTest, LoadAfterAnExportListsTheExportedCar) {
    standard::Write(m_folder);
    {
        const auto pProgram = StartLoaded();
        pProgram->Select(kInstalledList, 0);
        pProgram->Click(kUninstallButton);
        EndWith(*pProgram, kCanButton);
    }
    // "Old Rattler.C2C" sorts after "ghost.c2c", which is still left out.
    const auto pProgram = StartLoaded();
    std::vector<std::string> aExpected = Names(standard::Available());
    aExpected.push_back("Old Rattler");
    EXPECT_EQ(pProgram->Lines(kAvailableList), aExpected);
    EXPECT_EQ(pProgram->Lines(kInstalledList), Names(standard::Installed()));
    EndWith(*pProgram, kCanButton);
}
