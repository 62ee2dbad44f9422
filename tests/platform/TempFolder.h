#pragma once

#include "platform/FileFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

// Runs each test in a fresh empty folder made current, removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_pathPrevious = std::filesystem::current_path();
        const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        m_pathFolder =
            std::filesystem::temp_directory_path() /
            ("gw-" + std::string(pInfo->name()) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_pathFolder);
        std::filesystem::current_path(m_pathFolder);
    }

    void TearDown() override {
        SetFileFaultHook({});
        std::filesystem::current_path(m_pathPrevious);
        std::error_code ec;
        std::filesystem::remove_all(m_pathFolder, ec);
    }

    // Test files are named with '/', which both systems take.
    static void Put(const std::string& strName, const std::string& strContent) {
        std::ofstream out(strName, std::ios::binary);
        out << strContent;
    }

    static std::string Get(const std::string& strName) {
        std::ifstream in(strName, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path m_pathPrevious;
    std::filesystem::path m_pathFolder;
};
