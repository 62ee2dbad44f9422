#include "GuiTest.h"

#include <string>

TEST_F(GuiTest, OkRewritesTheOpponentListInItsOwnLayout) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    EndWith(*pProgram, kOkButton);

    // The game's looser layout comes back in the program's exact one, records unchanged.
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), WrittenOpponentList(standard::Installed()));
    EXPECT_EQ(ReadBytes(Path("data/OPPONENT.OLD")), GameOpponentList(standard::Installed()));
}

TEST_F(GuiTest, OkAfterEditsWritesTheInstalledListInOrder) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Select(kInstalledList, 1); // Red Arrow, also available
    pProgram->Click(kUninstallButton);
    pProgram->Select(kAvailableList, 0);
    pProgram->Click(kInstallButton); // the available Red Arrow, another driver
    pProgram->Click(kUpButton);      // before Ghost
    pProgram->Select(kInstalledList, 0);
    pProgram->Click(kDownButton); // Old Rattler after Red Arrow
    EndWith(*pProgram, kOkButton);

    EXPECT_EQ(
        ReadBytes(Path("data/opponent.txt")),
        WrittenOpponentList({standard::RedArrow(), standard::OldRattler(), standard::Ghost()}));
}

TEST_F(GuiTest, OkWithNoOpponentsWritesTheCountAndEnd) {
    std::filesystem::create_directories(Path("data"));
    WriteBytes(Path("data/opponent.txt"), WrittenOpponentList({}));
    const auto pProgram = StartLoaded();
    EXPECT_TRUE(pProgram->Lines(kAvailableList).empty());
    EXPECT_TRUE(pProgram->Lines(kInstalledList).empty());

    // Commands on empty lists do nothing.
    pProgram->Click(kInstallButton);
    pProgram->Click(kUninstallButton);
    pProgram->Click(kUpButton);
    pProgram->Click(kDownButton);
    EndWith(*pProgram, kOkButton);

    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), "0\r\n\r\nEND\r\n");
}

// Every way out but Ok leaves the opponent list as it was.
enum class EWayOut { CanButton, CloseMessage, CloseBox };

class GuiCloseTest : public GuiTest, public ::testing::WithParamInterface<EWayOut> {};

TEST_P(GuiCloseTest, ClosingWithoutOkWritesNothing) {
    standard::Write(m_folder);
    const std::string strList = ReadBytes(Path("data/opponent.txt"));
    const auto pProgram = StartLoaded();

    pProgram->Select(kAvailableList, 2);
    pProgram->Click(kInstallButton);
    pProgram->Click(kUpButton);
    pProgram->Select(kInstalledList, 1);
    pProgram->Click(kUninstallButton);
    ASSERT_EQ(pProgram->Lines(kInstalledList).size(), 3u);

    switch (GetParam()) {
    case EWayOut::CanButton:
        pProgram->PostClick(kCanButton);
        break;
    case EWayOut::CloseMessage:
        pProgram->Post(WM_CLOSE, 0, 0);
        break;
    case EWayOut::CloseBox:
        pProgram->Post(WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
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
        break;
    }
    return "CloseBox";
}

INSTANTIATE_TEST_SUITE_P(Ways, GuiCloseTest,
                         ::testing::Values(EWayOut::CanButton, EWayOut::CloseMessage,
                                           EWayOut::CloseBox),
                         WayName);
