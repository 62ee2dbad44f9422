#include "GuiTest.h"

#include <iostream>
#include <system_error>

void GuiTest::SetUp() {
    m_folder = MakeTempFolder();
}

void GuiTest::TearDown() {
    if (HasFailure()) {
        std::cout << "The test's game folder is kept: " << m_folder.string() << "\n";
        return;
    }
    std::error_code error;
    std::filesystem::remove_all(m_folder, error);
}

std::unique_ptr<CProgramDriver> GuiTest::StartLoaded(CProgramDriver::EMemory eMemory) {
    auto pProgram = std::make_unique<CProgramDriver>(m_folder, eMemory);
    if (pProgram->WaitUntilLoaded() == CProgramDriver::ELoad::ErrorBox) {
        const HWND hBox = pProgram->FindOwnWindow("gridwright");
        ADD_FAILURE() << "the program reported an error while loading: "
                      << (hBox ? CProgramDriver::WindowText(GetDlgItem(hBox, 0xFFFF)) : "");
    }
    return pProgram;
}

void GuiTest::EndWith(CProgramDriver& program, int nButtonId) {
    program.PostClick(nButtonId);
    // Can after changes asks first; Yes leaves.
    HWND hBox = nullptr;
    CProgramDriver::WaitUntil(
        [&] { return program.HasExited() || (hBox = program.FindOwnWindow("gridwright")); });
    if (hBox != nullptr && GetDlgItem(hBox, IDYES) != nullptr)
        PostMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
    EXPECT_TRUE(program.WaitForExit()) << "the program did not end after button " << nButtonId;
}
