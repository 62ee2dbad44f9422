#include "GuiTest.h"
#include "Screenshot.h"

#include <string>

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
            std::filesystem::create_directories(screenshot.parent_path());
            seen.nColours = SaveScreenshot(hProgress, screenshot);
            seen.bShown = true;
        }
        Sleep(20);
    }
    EXPECT_EQ(program.WaitUntilLoaded(kLongWaitMs), CProgramDriver::ELoad::Loaded);
    return seen;
}

} // namespace

// The same small folder loads slowly when the program pauses after each file.
TEST_F(GuiTest, ASlowLoadShowsItsProgressUntilTheListsAreFilled) {
    standard::Write(m_folder);
    SetEnvironmentVariableA("GRIDWRIGHT_LOAD_DELAY_MS", "150");
    CProgramDriver program(m_folder);
    SetEnvironmentVariableA("GRIDWRIGHT_LOAD_DELAY_MS", nullptr);
    const SSeen seen = WatchLoad(program, ArtifactsFolder() / "progress.bmp");

    EXPECT_TRUE(seen.bShown);
    EXPECT_EQ(seen.strCaption, "Gridwright");
    EXPECT_TRUE(seen.bBar);
    EXPECT_TRUE(seen.strLine.starts_with("Reading car files: ") ||
                seen.strLine == "Reading the opponent list")
        << seen.strLine;
    EXPECT_GT(seen.nColours, 2u) << "the window was drawn";
    EXPECT_EQ(program.FindOwnWindowOfClass(kProgressClass), nullptr) << "gone after the load";
    EXPECT_EQ(program.Lines(IDC_AVAILABLE), standard::Names(standard::Available()));
    EndWith(program, IDC_CAN);
}

TEST_F(GuiTest, AShortLoadShowsNoProgress) {
    standard::Write(m_folder);

    CProgramDriver program(m_folder);
    const SSeen seen = WatchLoad(program, ArtifactsFolder() / "no-progress.bmp");

    EXPECT_FALSE(seen.bShown);
    EndWith(program, IDC_CAN);
}
