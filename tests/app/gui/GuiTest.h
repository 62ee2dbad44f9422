#pragma once

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "ProgramDriver.h"
#include "TestFolder.h"
#include "app/ResourceIds.h"

// Each test gets a fresh game folder; it is removed afterwards unless the test failed.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program in the folder and waits until it has loaded its lists without error.
    std::unique_ptr<CProgramDriver>
    StartLoaded(CProgramDriver::EMemory eMemory = CProgramDriver::EMemory::Forget);
    // Presses a button that ends the program and waits for the process to go.
    static void EndWith(CProgramDriver& program, int nButtonId);

    std::filesystem::path Path(const char* pszRelative) const { return m_folder / pszRelative; }

    std::filesystem::path m_folder;
};
