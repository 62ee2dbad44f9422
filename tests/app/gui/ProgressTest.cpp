#include "GuiTest.h"
#include "Screenshot.h"

#include "support/GameFiles.h"

#include <string>

using namespace gamefiles;

namespace {

constexpr const char* kProgressClass = "GridwrightProgress";

// What a watcher saw of the progress window while the program loaded.
struct SSeen {
    bool bShown = false;
    std::string strCaption;
    std::string strLine;
    bool bBar = false;
    std::size_t nColours = 0; // of a screenshot taken while it showed
};

// Watches for the progress window until the dialog shows, then waits for the lists.
SSeen WatchLoad(CProgramDriver& program, const std::filesystem::path& screenshot) {
    constexpr DWORD kLongWaitMs = 120000;
    SSeen seen;
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < kLongWaitMs && !program.HasExited()) {
        const HWND hDialog = program.FindOwnWindow("Gridwright");
        if (hDialog && IsWindowVisible(hDialog))
            break;
        const HWND hProgress = program.FindOwnWindowOfClass(kProgressClass);
        if (hProgress && IsWindowVisible(hProgress) && !seen.bShown) {
            char szCaption[64] = {};
            GetWindowTextA(hProgress, szCaption, sizeof szCaption);
            seen.strCaption = szCaption;
            seen.bBar = FindWindowExA(hProgress, nullptr, "msctls_progress32", nullptr) != nullptr;
            // Its line once it has been set (the window appears just before).
            for (int i = 0; i < 20 && seen.strLine.empty() && IsWindow(hProgress); ++i) {
                if (const HWND hText = FindWindowExA(hProgress, nullptr, "Static", nullptr))
                    seen.strLine = CProgramDriver::WindowText(hText);
                Sleep(25);
            }
            seen.nColours = SaveScreenshot(hProgress, screenshot);
            seen.bShown = true;
        }
        Sleep(20);
    }
    EXPECT_EQ(program.WaitUntilLoaded(kLongWaitMs), CProgramDriver::ELoad::Loaded);
    return seen;
}

} // namespace

// Enough cars, each with a picture of its own, that the load takes well over half a second.
TEST_F(GuiTest, ALongLoadShowsItsProgressUntilTheListsAreFilled) {
    constexpr int kCars = 2000;
    const std::string strTile = TileFile(TilePixels(0x0F, 0x0F));
    std::vector<std::string> aOpponents;
    for (int i = 0; i < kCars; ++i) {
        const std::string strCar = "C" + std::to_string(i);
        const std::string strOpponent = "O" + std::to_string(i);
        WriteBytes(m_folder / (strCar + ".c2c"), CarText(strCar, strCar));
        aOpponents.push_back(CarText(strOpponent, strOpponent));
        for (const std::string& strBase : {strCar, strOpponent})
            WriteBytes(m_folder / "data" / "intrface" / "carimage" / (strBase + "CI") / "PIX16" /
                           (strBase + "A.PIX"),
                       strTile);
    }
    WriteBytes(m_folder / "data" / "opponent.txt", OpponentList(aOpponents));

    CProgramDriver program(m_folder);
    const SSeen seen = WatchLoad(program, ArtifactsFolder() / "progress.bmp");

    EXPECT_TRUE(seen.bShown);
    EXPECT_EQ(seen.strCaption, "Gridwright");
    EXPECT_TRUE(seen.bBar);
    EXPECT_TRUE(seen.strLine.starts_with("Reading car files: ") ||
                seen.strLine == "Reading the opponent list" ||
                seen.strLine == "Unpacking the game's data")
        << seen.strLine;
    EXPECT_GT(seen.nColours, 2u) << "the window was drawn";
    EXPECT_EQ(program.FindOwnWindowOfClass(kProgressClass), nullptr) << "gone after the load";
    EXPECT_EQ(program.Lines(kAvailableList).size(), static_cast<std::size_t>(kCars));
    EndWith(program, kCanButton);
}

TEST_F(GuiTest, AShortLoadShowsNoProgress) {
    standard::Write(m_folder);

    CProgramDriver program(m_folder);
    const SSeen seen = WatchLoad(program, ArtifactsFolder() / "no-progress.bmp");

    EXPECT_FALSE(seen.bShown);
    EndWith(program, kCanButton);
}
