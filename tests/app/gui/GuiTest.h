#pragma once

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "ProgramDriver.h"
#include "TestFolder.h"

// The dialog's controls, by the numbers of its template.
inline constexpr int kAvailableList = 1000;
inline constexpr int kInstalledList = 1001;
inline constexpr int kInstallButton = 1002;
inline constexpr int kUninstallButton = 1003;
inline constexpr int kDownButton = 1005;
inline constexpr int kUpButton = 1006;
inline constexpr int kAvailableInfo = 1008;
inline constexpr int kInstalledInfo = 1009;
inline constexpr int kCanButton = 1026;
inline constexpr int kOkButton = 1027;

// Each test gets a fresh game folder; it is removed afterwards unless the test failed.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program in the folder and waits until it has loaded its lists without error.
    std::unique_ptr<CProgramDriver> StartLoaded();
    // Presses a button that ends the program and waits for the process to go.
    static void EndWith(CProgramDriver& program, int nButtonId);

    std::filesystem::path Path(const char* pszRelative) const { return m_folder / pszRelative; }

    std::filesystem::path m_folder;
};
