#pragma once

#include "platform/FileFaults.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

// Each test runs in a fresh empty folder made current, as the program runs in the game's folder;
// the folder goes afterwards, and so does any fault a test set up in the file layer.
class CTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int s_nFolder = 0;
        // A RAM disk where there is one: the writers flush every file they write, and on a disk
        // the thousands of loads and exports of the model's tests would mostly wait for it.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        m_pathFolder = base / ("gw-test-" + std::to_string(std::random_device{}()) + "-" +
                               std::to_string(++s_nFolder));
        std::filesystem::create_directories(m_pathFolder);
        m_pathPrevious = std::filesystem::current_path();
        std::filesystem::current_path(m_pathFolder);
    }

    void TearDown() override {
        SetFileFaultHook({});
        std::filesystem::current_path(m_pathPrevious);
        std::error_code error;
        std::filesystem::remove_all(m_pathFolder, error);
    }

private:
    std::filesystem::path m_pathFolder;
    std::filesystem::path m_pathPrevious;
};
