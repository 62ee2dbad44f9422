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

    pProgram->Select(IDC_AVAILABLE, 1);
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), RecordInfo(standard::Comet()));
    pProgram->Select(IDC_INSTALLED, 2);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Ghost()));
    // Each box follows its own list only.
    pProgram->Select(IDC_AVAILABLE, 0);
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), RecordInfo(standard::RedArrow()));
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Ghost()));
    pProgram->Select(IDC_INSTALLED, 1);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::RedArrowInstalled()));
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 0);
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 1);

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, InstallAppendsASelectedCopyByButtonOrDoubleClick) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const std::vector<std::string> aAvailable = Names(standard::Available());

    // Nothing selected: nothing to install.
    pProgram->Click(IDC_INSTALL);
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), Names(standard::Installed()));

    pProgram->Select(IDC_AVAILABLE, 2);
    pProgram->Click(IDC_INSTALL);
    std::vector<std::string> aInstalled = WithLast(Names(standard::Installed()), "Blue Fin");
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 3);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::BlueFin()));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 2);

    // The same car twice is allowed.
    pProgram->DoubleClick(IDC_AVAILABLE, 1);
    pProgram->DoubleClick(IDC_AVAILABLE, 1);
    aInstalled = WithLast(WithLast(aInstalled, "Comet"), "Comet");
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aInstalled);
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), 5);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Comet()));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 1);

    // The copies carry the car files' whole text into the opponent list.
    EndWith(*pProgram, IDC_OK);
    std::vector<CTestCar> aWritten = standard::Installed();
    aWritten.insert(aWritten.end(), {standard::BlueFin(), standard::Comet(), standard::Comet()});
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(aWritten));
}

// The installed Red Arrow has another driver than the car file's: uninstalling exports it beside
// that file. A twin of the same text is only removed.
TEST_F(GuiTest, UninstallOnlyRemovesACarWhoseTextACarFileHolds) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(IDC_INSTALLED, 1);
    pProgram->Click(IDC_UNINSTALL);

    EXPECT_EQ(ReadBytes(Path("Red Arrow.C2C")), KeptText(standard::RedArrowInstalled()));
    const std::vector<std::string> aAvailable = WithLast(Names(standard::Available()), "Red Arrow");
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), (std::vector<std::string>{"Old Rattler", "Ghost"}));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), -1);

    const std::vector<std::string> aFiles = FolderNames(m_folder);
    pProgram->Select(IDC_AVAILABLE, 0); // the car file's own Red Arrow
    pProgram->Click(IDC_INSTALL);
    pProgram->Click(IDC_UNINSTALL);
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), (std::vector<std::string>{"Old Rattler", "Ghost"}));
    EXPECT_EQ(FolderNames(m_folder), aFiles);

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, UninstallExportsACarThatWouldBeLost) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(IDC_INSTALLED, 0);
    pProgram->Click(IDC_UNINSTALL);

    EXPECT_EQ(ReadBytes(Path("Old Rattler.C2C")), KeptText(standard::OldRattler()));
    const std::vector<std::string> aAvailable =
        WithLast(Names(standard::Available()), "Old Rattler");
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 3);
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_INFO), RecordInfo(standard::OldRattler()));
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), (std::vector<std::string>{"Red Arrow", "Ghost"}));
    EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), -1);

    // The exported car is now available: uninstalling it again writes nothing more.
    pProgram->Select(IDC_AVAILABLE, 3);
    pProgram->Click(IDC_INSTALL);
    pProgram->Click(IDC_UNINSTALL);
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), aAvailable);

    EndWith(*pProgram, IDC_CAN);
    std::vector<std::string> aFiles = FolderNames(m_folder);
    EXPECT_EQ(std::count(aFiles.begin(), aFiles.end(), "Old Rattler.C2C"), 1);
    EXPECT_EQ(aFiles.size(), 7u); // four car files, the export, data and the program
}

TEST_F(GuiTest, UninstallDoesNotOverwriteAFileOfTheCarsName) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    // "ghost.c2c" is not a car, so no available car is called Ghost, but the file is taken.
    pProgram->DoubleClick(IDC_INSTALLED, 2);

    EXPECT_EQ(ReadBytes(Path("ghost.c2c")), standard::kGhostFileBytes);
    EXPECT_EQ(ReadBytes(Path("Ghost (2).C2C")), KeptText(standard::Ghost()));
    EXPECT_EQ(pProgram->Lines(IDC_AVAILABLE), WithLast(Names(standard::Available()), "Ghost"));
    EXPECT_EQ(pProgram->Selection(IDC_AVAILABLE), 3);
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED),
              (std::vector<std::string>{"Old Rattler", "Red Arrow"}));

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, UpAndDownMoveTheSelectedCarAndKeepItSelected) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    const auto expectOrder = [&](std::vector<std::string> aNames, int nSelected) {
        EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aNames);
        EXPECT_EQ(pProgram->Selection(IDC_INSTALLED), nSelected);
        EXPECT_EQ(pProgram->Text(IDC_INSTALLED_INFO), RecordInfo(standard::Ghost()));
    };

    pProgram->Select(IDC_INSTALLED, 2);
    pProgram->Click(IDC_UP);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);
    pProgram->Click(IDC_UP);
    expectOrder({"Ghost", "Old Rattler", "Red Arrow"}, 0);
    pProgram->Click(IDC_UP);
    expectOrder({"Ghost", "Old Rattler", "Red Arrow"}, 0);
    pProgram->Click(IDC_DOWN);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);
    pProgram->Click(IDC_DOWN);
    expectOrder({"Old Rattler", "Red Arrow", "Ghost"}, 2);
    pProgram->Click(IDC_DOWN);
    expectOrder({"Old Rattler", "Red Arrow", "Ghost"}, 2);
    pProgram->Click(IDC_UP);
    expectOrder({"Old Rattler", "Ghost", "Red Arrow"}, 1);

    // The records moved with their lines.
    EndWith(*pProgram, IDC_OK);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList(
                  {standard::OldRattler(), standard::Ghost(), standard::RedArrowInstalled()}));
}

TEST_F(GuiTest, UninstallThatCannotWriteTheCarFileKeepsTheCarInstalled) {
    standard::Write(m_folder);
    CTestCar unnamed = standard::Ghost();
    unnamed.strCar = "Who Knows?"; // exported as "Who Knows_.C2C"
    WriteBytes(Path("data/opponent.txt"), GameOpponentList({standard::OldRattler(), unnamed}));
    const auto pProgram = StartLoaded();
    // Folders at every temporary name the export may try: the system refuses to create the file.
    for (int n = 0; n < 100; ++n)
        std::filesystem::create_directories(m_folder / ("Who Knows_.C2C.new-" +
                                                        std::to_string(pProgram->ProcessId()) +
                                                        "-" + std::to_string(n)));

    pProgram->Select(IDC_INSTALLED, 1);
    pProgram->PostClick(IDC_UNINSTALL); // the error box is modal
    const HWND hBox = pProgram->WaitForOwnWindow("gridwright");
    EXPECT_NE(CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF)), "");
    ASSERT_TRUE(pProgram->CloseBox(hBox));
    pProgram->Sync();

    // The car is not lost: it stays installed, and Ok still writes it.
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED),
              (std::vector<std::string>{"Old Rattler", "Who Knows?"}));
    EXPECT_TRUE(pProgram->IsEnabled(IDC_OK));
    EndWith(*pProgram, IDC_OK);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")),
              WrittenOpponentList({standard::OldRattler(), unnamed}));
}
