#pragma once

#include "platform/FileFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// Each test runs in a fresh empty folder made current, as the program runs in the game's folder.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_pathFolder = std::filesystem::temp_directory_path() /
                       ("gridwright-test-" + std::to_string(random()) + std::to_string(random()));
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

    static void WriteBytes(const std::filesystem::path& path, const std::string& strBytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }

    static std::string ReadBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Names of everything under a folder, relative to it, for "nothing was written" checks.
    static std::vector<std::string> ListFolder(const std::filesystem::path& path) {
        std::vector<std::string> astrNames;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
            astrNames.push_back(std::filesystem::relative(entry.path(), path).generic_string());
        std::sort(astrNames.begin(), astrNames.end());
        return astrNames;
    }

private:
    std::filesystem::path m_pathFolder;
    std::filesystem::path m_pathPrevious;
};
