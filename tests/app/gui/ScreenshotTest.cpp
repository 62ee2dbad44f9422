#include "GuiTest.h"

#include <iostream>

#include "Screenshot.h"
#include "tools/DemoFolder.h"

TEST_F(GuiTest, ScreenshotOfTheLoadedDemoFolder) {
    WriteDemoFolder(m_folder, DemoFolderOptions{});
    const auto pProgram = StartLoaded();
    ASSERT_FALSE(pProgram->Lines(IDC_AVAILABLE).empty());
    ASSERT_FALSE(pProgram->Lines(IDC_INSTALLED).empty());
    pProgram->Select(IDC_AVAILABLE, 0);
    pProgram->Select(IDC_INSTALLED, 0);
    EXPECT_NE(pProgram->Text(IDC_INSTALLED_INFO), "");

    // On top of any other test's windows, and painted, before it is copied from the screen.
    SetWindowPos(pProgram->Dialog(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(pProgram->Dialog(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pProgram->Sync();
    Sleep(500);
    pProgram->Sync();

    std::filesystem::create_directories(ArtifactsFolder());
    const std::filesystem::path bmp = ArtifactsFolder() / "gridwright-loaded.bmp";
    const std::size_t nColours = SaveScreenshot(pProgram->Dialog(), bmp);
    std::cout << "Screenshot of the loaded dialog: " << GUI_ARTIFACTS_DIR
              << "/gridwright-loaded.bmp (" << nColours << " colours)\n";
    EXPECT_GT(nColours, 1u) << "the captured dialog is all one colour";

    EndWith(*pProgram, IDC_CAN);
}
