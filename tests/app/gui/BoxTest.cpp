#include "GuiTest.h"
#include "app/Version.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {

std::string Lower(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return str;
}

} // namespace

// A load that stops early: an error box, then the dialog stays open with Ok disabled, so that
// a part of the list can not be written over the whole.
class GuiLoadErrorTest : public GuiTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GuiLoadErrorTest, ErrorBoxThenOkDisabled) {
    const bool bEmpty = GetParam();
    standard::Write(m_folder);
    if (bEmpty)
        WriteBytes(Path("data/opponent.txt"), "");
    else
        std::filesystem::remove(Path("data/opponent.txt"));

    CProgramDriver program(m_folder);
    ASSERT_EQ(program.WaitUntilLoaded(), CProgramDriver::ELoad::ErrorBox);
    const HWND hBox = program.FindOwnWindow("gridwright");
    ASSERT_NE(hBox, nullptr);
    const std::string strMessage = CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF));
    std::cout << "The error box says: " << strMessage << "\n";
    // A message for people names the file it is about.
    EXPECT_NE(Lower(strMessage).find("opponent.txt"), std::string::npos) << strMessage;

    ASSERT_TRUE(program.CloseBox(hBox));
    ASSERT_FALSE(program.HasExited());
    program.Sync();
    EXPECT_TRUE(IsWindow(program.Dialog()));
    EXPECT_FALSE(program.IsEnabled(IDC_OK));
    if (bEmpty) { // the cars were read before the opponent list
        EXPECT_EQ(program.Lines(IDC_AVAILABLE), standard::Names(standard::Available()));
    }
    EXPECT_TRUE(program.Lines(IDC_INSTALLED).empty());

    EndWith(program, IDC_CAN);
    if (bEmpty) {
        EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), "");
    } else {
        EXPECT_FALSE(std::filesystem::exists(Path("data/opponent.txt")));
    }
}

INSTANTIATE_TEST_SUITE_P(OpponentList, GuiLoadErrorTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& empty) {
                             return std::string(empty.param ? "Empty" : "Missing");
                         });

TEST_F(GuiTest, AboutBoxFromTheSystemMenu) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();

    pProgram->Post(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND hAbout = pProgram->WaitForOwnWindow("About Gridwright");
    const std::vector<std::string> aTexts = pProgram->ChildTexts(hAbout);
    EXPECT_NE(std::find(aTexts.begin(), aTexts.end(), GRIDWRIGHT_ABOUT_VERSION), aTexts.end());
    ASSERT_TRUE(pProgram->CloseBox(hAbout));

    // Back in the dialog, which goes on as before.
    pProgram->Sync();
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), standard::Names(standard::Installed()));
    EndWith(*pProgram, IDC_CAN);
    EXPECT_EQ(ReadBytes(Path("data/opponent.txt")), GameOpponentList(standard::Installed()));
}
