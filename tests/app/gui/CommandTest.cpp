#include "GuiTest.h"

#include <algorithm>

using standard::Names;

namespace {

std::vector<std::string> WithLast(std::vector<std::string> aNames, const std::string& strLast) {
    aNames.push_back(strLast);
    return aNames;
}

} // namespace

TEST_F(GuiTest, SelectingALineShowsItsCar) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(kAvailableList, 1);
    EXPECT_EQ(pProgram->Text(kAvailableInfo), RecordInfo(standard::Comet()));
    pProgram->Select(kInstalledList, 2);
    EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::Ghost()));
    // Each box follows its own list only.
    pProgram->Select(kAvailableList, 0);
    EXPECT_EQ(pProgram->Text(kAvailableInfo), RecordInfo(standard::RedArrow()));
    EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::Ghost()));
    pProgram->Select(kInstalledList, 1);
    EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::RedArrowInstalled()));
    EXPECT_EQ(pProgram->Selection(kAvailableList), 0);
    EXPECT_EQ(pProgram->Selection(kInstalledList), 1);

    EndWith(*pProgram, kCanButton);
}

TEST_F(GuiTest, InstallAppendsASelectedCopyByButtonOrDoubleClick) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const std::vector<std::string> aAvailable = Names(standard::Available());

    // Nothing selected: nothing to install.
    pProgram->Click(kInstallButton);
    EXPECT_EQ(pProgram->Lines(kInstalledList), Names(standard::Installed()));

    pProgram->Select(kAvailableList, 2);
    pProgram->Click(kInstallButton);
    std::vector<std::string> aInstalled = WithLast(Names(standard::Installed()), "Blue Fin");
    EXPECT_EQ(pProgram->Lines(kInstalledList), aInstalled);
    EXPECT_EQ(pProgram->Selection(kInstalledList), 3);
    EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::BlueFin()));
    EXPECT_EQ(pProgram->Lines(kAvailableList), aAvailable);
    EXPECT_EQ(pProgram->Selection(kAvailableList), 2);

    // The same car twice is allowed.
    pProgram->DoubleClick(kAvailableList, 1);
    pProgram->DoubleClick(kAvailableList, 1);
    aInstalled = WithLast(WithLast(aInstalled, "Comet"), "Comet");
    EXPECT_EQ(pProgram->Lines(kInstalledList), aInstalled);
    EXPECT_EQ(pProgram->Selection(kInstalledList), 5);
    EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::Comet()));
    EXPECT_EQ(pProgram->Lines(kAvailableList), aAvailable);
    EXPECT_EQ(pProgram->Selection(kAvailableList), 1);

    // The copies carry the car files' whole text into the opponent list.
    EndWith(*pProgram, kOkButton);
    std::vector<CTestCar> aWritten = standard::Installed();
    aWritten.insert(aWritten.end(), {standard::BlueFin(), standard::Comet(), standard::Comet()});
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(aWritten));
}

TEST_F(GuiTest, UninstallOfACarWithAnAvailableTwinOnlyRemovesIt) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const std::vector<std::string> aFiles = FolderNames(m_folder);

    pProgram->Select(kInstalledList, 1);
    pProgram->Click(kUninstallButton);

    EXPECT_EQ(pProgram->Lines(kInstalledList), (std::vector<std::string>{"Old Rattler", "Ghost"}));
    EXPECT_EQ(pProgram->Selection(kInstalledList), -1);
    EXPECT_EQ(pProgram->Lines(kAvailableList), Names(standard::Available()));
    EXPECT_EQ(FolderNames(m_folder), aFiles);

    EndWith(*pProgram, kCanButton);
}

TEST_F(GuiTest, UninstallExportsACarThatWouldBeLost) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(kInstalledList, 0);
    pProgram->Click(kUninstallButton);

    EXPECT_EQ(ReadBytes(Path("Old Rattler.C2C")), RecordText(standard::OldRattler()));
    const std::vector<std::string> aAvailable =
        WithLast(Names(standard::Available()), "Old Rattler");
    EXPECT_EQ(pProgram->Lines(kAvailableList), aAvailable);
    EXPECT_EQ(pProgram->Selection(kAvailableList), 3);
    EXPECT_EQ(pProgram->Text(kAvailableInfo), RecordInfo(standard::OldRattler()));
    EXPECT_EQ(pProgram->Lines(kInstalledList), (std::vector<std::string>{"Red Arrow", "Ghost"}));
    EXPECT_EQ(pProgram->Selection(kInstalledList), -1);

    // The exported car is now available: uninstalling it again writes nothing more.
    pProgram->Select(kAvailableList, 3);
    pProgram->Click(kInstallButton);
    pProgram->Click(kUninstallButton);
    EXPECT_EQ(pProgram->Lines(kAvailableList), aAvailable);

    EndWith(*pProgram, kCanButton);
    std::vector<std::string> aFiles = FolderNames(m_folder);
    EXPECT_EQ(std::count(aFiles.begin(), aFiles.end(), "Old Rattler.C2C"), 1);
    EXPECT_EQ(aFiles.size(), 7u); // four car files, the export, data and the program
}

TEST_F(GuiTest, UninstallDoesNotOverwriteAFileOfTheCarsName) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    // "ghost.c2c" is not a car, so no available car is called Ghost, but the file is taken.
    pProgram->DoubleClick(kInstalledList, 2);

    EXPECT_EQ(ReadBytes(Path("ghost.c2c")), standard::kGhostFileBytes);
    EXPECT_EQ(ReadBytes(Path("Ghost (2).C2C")), RecordText(standard::Ghost()));
    EXPECT_EQ(pProgram->Lines(kAvailableList), WithLast(Names(standard::Available()), "Ghost"));
    EXPECT_EQ(pProgram->Selection(kAvailableList), 3);
    EXPECT_EQ(pProgram->Lines(kInstalledList),
              (std::vector<std::string>{"Old Rattler", "Red Arrow"}));

    EndWith(*pProgram, kCanButton);
}

TEST_F(GuiTest, UpAndDownMoveTheSelectedCarAndKeepItSelected) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const auto expectOrder = [&](std::vector<std::string> aNames, int nSelected) {
        EXPECT_EQ(pProgram->Lines(kInstalledList), aNames);
        EXPECT_EQ(pProgram->Selection(kInstalledList), nSelected);
        EXPECT_EQ(pProgram->Text(kInstalledInfo), RecordInfo(standard::Ghost()));
    };

    pProgram->Select(kInstalledList, 2);
    pProgram->Click(kUpButton);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);
    pProgram->Click(kUpButton);
    expectOrder({"Ghost", "Old Rattler", "Red Arrow"}, 0);
    pProgram->Click(kUpButton);
    expectOrder({"Ghost", "Old Rattler", "Red Arrow"}, 0);
    pProgram->Click(kDownButton);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);
    pProgram->Click(kDownButton);
    expectOrder({"Old Rattler", "Red Arrow", "Ghost"}, 2);
    pProgram->Click(kDownButton);
    expectOrder({"Old Rattler", "Red Arrow", "Ghost"}, 2);
    pProgram->Click(kUpButton);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);

    // The records moved with their lines.
    EndWith(*pProgram, kOkButton);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList(
                  {standard::OldRattler(), standard::Ghost(), standard::RedArrowInstalled()}));
}

TEST_F(GuiTest, UninstallThatCannotWriteTheCarFileKeepsTheCarInstalled) {
    standard::Write(m_folder);
    CTestCar unnamed = standard::Ghost();
    unnamed.strCar = "Who Knows?"; // not a file name the system accepts
    WriteBytes(Path("data/opponent.txt"), GameOpponentList({standard::OldRattler(), unnamed}));
    const auto pProgram = StartLoaded();

    pProgram->Select(kInstalledList, 1);
    pProgram->PostClick(kUninstallButton); // the error box is modal
    const HWND hBox = pProgram->WaitForOwnWindow("gridwright");
    EXPECT_NE(CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF)), "");
    ASSERT_TRUE(pProgram->CloseBox(hBox));
    pProgram->Sync();

    // The car is not lost: it stays installed, and Ok still writes it.
    EXPECT_EQ(pProgram->Lines(kInstalledList),
              (std::vector<std::string>{"Old Rattler", "Who Knows?"}));
    EXPECT_TRUE(pProgram->IsEnabled(kOkButton));
    EndWith(*pProgram, kOkButton);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList({standard::OldRattler(), unnamed}));
}
