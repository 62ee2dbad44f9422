#pragma once

#include "platform/FileFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// A fresh, empty folder made current for each test, and builders of the game's files.
class CGameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int s_nFolder = 0;
        const auto nTicks = std::chrono::steady_clock::now().time_since_epoch().count();
        m_oldPath = std::filesystem::current_path();
        m_folder = std::filesystem::temp_directory_path() /
                   ("gw-installer-" + std::to_string(nTicks) + "-" + std::to_string(++s_nFolder));
        std::filesystem::create_directories(m_folder);
        std::filesystem::current_path(m_folder);
    }
    void TearDown() override {
        SetFileFaultHook({});
        std::filesystem::current_path(m_oldPath);
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    std::filesystem::path m_oldPath;
    std::filesystem::path m_folder;
};

namespace gamefolder {

inline void WriteFile(const std::filesystem::path& path, const std::string& strBytes) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in the current folder, sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder = ".") {
    std::vector<std::string> aNames;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        aNames.push_back(entry.path().filename().string());
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

// One car's record: eleven values, the seventh naming its picture files as FILEBASE.TXT.
inline std::string CarText(const std::string& strName, const std::string& strFileBase = "") {
    return "Driver of " + strName + "\r\n" + "7 // skill\r\n" + strName + "\r\n" + "61\r\n" +
           "25000\r\n" + "1\r\n" + strFileBase + ".TXT\r\n" + "x1\r\n" + "x2\r\n" + "x3\r\n" +
           "Quick in the bends\r\n";
}

// An opponent list as the game and the installer write it.
inline std::string OpponentList(const std::vector<std::string>& aTexts) {
    std::string str = std::to_string(aTexts.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < aTexts.size(); ++i)
        str += "// Opponent " + std::to_string(i) + "\r\n" + aTexts[i] + "\r\n\r\n";
    return str + "END\r\n";
}

inline void PutU32(std::string& str, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        str += static_cast<char>((n >> (8 * i)) & 0xFF);
}

// The archive container: count at 4, 56-byte slots from 8, data padded to multiples of 4.
inline std::string Archive(const std::vector<std::pair<std::string, std::string>>& aEntries) {
    std::string str = "ARCH";
    str += static_cast<char>(aEntries.size());
    str += std::string(3, '\0');
    for (const auto& [strName, strData] : aEntries) {
        PutU32(str, static_cast<std::uint32_t>(strData.size()));
        std::string strSlotName = strName;
        strSlotName.resize(52, '\0');
        str += strSlotName;
    }
    for (const auto& entry : aEntries) {
        str += entry.second;
        str.resize((str.size() + 3) / 4 * 4, '\0');
    }
    return str;
}

// 8192 bytes of one 64 x 64 tile, every pixel the two bytes b0, b1.
inline std::string TilePixels(std::uint8_t b0, std::uint8_t b1) {
    std::string str;
    for (int i = 0; i < 64 * 64; ++i) {
        str += static_cast<char>(b0);
        str += static_cast<char>(b1);
    }
    return str;
}

// The "PIXIES.P16" entry: 16 bytes, then per tile a 21-byte head, the name, a 16-byte pixel head,
// the pixels and an 8-byte tail.
inline std::string Pixies(const std::vector<std::pair<std::string, std::string>>& aTiles) {
    std::string str(16, 'h');
    for (const auto& [strName, strPixels] : aTiles)
        str += std::string(21, 'r') + strName + '\0' + std::string(16, 'p') + strPixels +
               std::string(8, 't');
    return str;
}

// A loose tile file: the pixels at offset 38.
inline std::string LooseTile(const std::string& strPixels) {
    return std::string(38, 'l') + strPixels;
}

inline std::string CarImageFolder() {
    return "data/intrface/carimage/";
}

} // namespace gamefolder
