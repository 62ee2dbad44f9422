#include "tools/DemoFolder.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

// The demo folder is the reference the program's readers are checked against, so these tests
// parse it back by hand, straight from the byte layouts.

class DemoFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device device;
        m_root = fs::temp_directory_path() / ("gw-demo-test-" + std::to_string(device()));
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path m_root;
};

using support::ReadBytes;

std::uint32_t Get32(const std::string& str, std::size_t nOffset) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(str.at(nOffset + i));
    return n;
}

// Entry name -> its data, checking slot sizes and the padding to multiples of 4 on the way.
std::map<std::string, std::string> ParseArchive(const std::string& strArchive) {
    const std::size_t nCount = static_cast<unsigned char>(strArchive.at(4));
    std::size_t nData = 8 + 56 * nCount;
    std::map<std::string, std::string> mapEntries;
    for (std::size_t i = 0; i < nCount; ++i) {
        const std::size_t nSize = Get32(strArchive, 8 + 56 * i);
        const std::string strName = strArchive.substr(12 + 56 * i, 52).c_str();
        mapEntries[strName] = strArchive.substr(nData, nSize);
        EXPECT_EQ(mapEntries[strName].size(), nSize) << strName;
        nData = (nData + nSize + 3) / 4 * 4;
    }
    EXPECT_EQ(nData, strArchive.size());
    return mapEntries;
}

// A value is the part of a line before "//" less the character just before it, trimmed.
int CountValues(const std::string& strText) {
    int nValues = 0;
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        std::size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        const std::size_t nComment = strLine.find("//");
        if (nComment != std::string::npos)
            strLine = strLine.substr(0, nComment == 0 ? 0 : nComment - 1);
        if (strLine.find_first_not_of(" \t\r") != std::string::npos)
            ++nValues;
        nStart = nEnd + 1;
    }
    return nValues;
}

std::vector<fs::path> CarFiles(const fs::path& root) {
    std::vector<fs::path> aFiles;
    for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
        std::string strExt = entry.path().extension().string();
        for (char& c : strExt)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (strExt == ".c2c")
            aFiles.push_back(entry.path());
    }
    return aFiles;
}

const fs::path kCarImage = fs::path("data") / "intrface" / "carimage";

TEST_F(DemoFolderTest, GameArchiveHoldsTheOpponentList) {
    WriteDemoFolder(m_root, {});
    EXPECT_TRUE(fs::is_directory(m_root / kCarImage));

    const std::string strArchive = ReadBytes(m_root / "data.twt");
    ASSERT_EQ(strArchive[4], 3);
    // Entry 0 starts right after the three slots.
    EXPECT_EQ(strArchive.substr(8 + 3 * 56, 3), "30 ");
    const auto mapEntries = ParseArchive(strArchive);
    ASSERT_EQ(mapEntries.count("opponent.txt"), 1u);
    EXPECT_EQ(mapEntries.count("racers.txt") + mapEntries.count("tracks.txt"), 2u);

    const std::string& strList = mapEntries.at("opponent.txt");
    EXPECT_TRUE(strList.ends_with("\r\nEND\r\n"));
    std::size_t nHeaders = 0;
    for (std::size_t n = strList.find("// Opponent "); n != std::string::npos;
         n = strList.find("// Opponent ", n + 1))
        ++nHeaders;
    EXPECT_EQ(nHeaders, 30u);
    EXPECT_EQ(CountValues(strList), 1 + 30 * 11 + 1); // count, records, END
}

TEST_F(DemoFolderTest, CarFilesHoldOneRecordEach) {
    WriteDemoFolder(m_root, {});
    const std::vector<fs::path> aFiles = CarFiles(m_root);
    ASSERT_EQ(aFiles.size(), 20u);
    for (const fs::path& file : aFiles) {
        const std::string strText = ReadBytes(file);
        EXPECT_EQ(CountValues(strText), 11) << file;
        EXPECT_EQ(strText.find("END"), std::string::npos) << file;
    }
    EXPECT_TRUE(fs::exists(m_root / "Comet.C2C"));
}

TEST_F(DemoFolderTest, PictureArchiveHoldsSixTileRecords) {
    WriteDemoFolder(m_root, {});
    const auto mapEntries = ParseArchive(ReadBytes(m_root / kCarImage / "RAPTORCI.TWT"));
    ASSERT_EQ(mapEntries.count("PIXIES.P16"), 1u);
    const std::string& strPixies = mapEntries.at("PIXIES.P16");

    std::string strNames;
    std::size_t r = 16;
    while (r < strPixies.size()) {
        const std::string strName = strPixies.substr(r + 21).c_str();
        strNames += strName + " ";
        r += 21 + strName.size() + 1 + 8216;
    }
    EXPECT_EQ(r, strPixies.size());
    EXPECT_EQ(strNames, "raptora raptorb raptorc raptord raptore raptorf ");

    // Tile D holds the hub of the front wheel at (48, 34): grey 10, 10, 10.
    const std::size_t nTileD = 16 + 3 * (21 + 8 + 8216) + 21 + 8 + 16;
    const std::size_t nPixel = nTileD + 2 * (64 * 34 + 48);
    EXPECT_EQ(strPixies[nPixel], 0x0A);
    EXPECT_EQ(strPixies[nPixel + 1], static_cast<char>(0xAA));
}

TEST_F(DemoFolderTest, LooseTilesHoldPixelsAtOffset38) {
    WriteDemoFolder(m_root, {});
    const fs::path tiles = m_root / kCarImage / "EAGLECI" / "PIX16";
    for (const char c : std::string("ABCDEF"))
        EXPECT_EQ(fs::file_size(tiles / (std::string("EAGLE") + c + ".PIX")), 38u + 8192u);
    const std::string strTile = ReadBytes(tiles / "EAGLED.PIX");
    EXPECT_EQ(strTile[38 + 2 * (64 * 34 + 48)], 0x0A);
    EXPECT_EQ(strTile[38 + 2 * (64 * 34 + 48) + 1], static_cast<char>(0xAA));

    // The cars without a picture have neither source.
    EXPECT_FALSE(fs::exists(m_root / kCarImage / "PHANTOMCI.TWT"));
    EXPECT_FALSE(fs::exists(m_root / kCarImage / "PHANTOMCI"));
}

TEST_F(DemoFolderTest, ScaledFolderGivesEveryCarItsOwnPicture) {
    WriteDemoFolder(m_root, {.m_nCars = 10});
    EXPECT_EQ(CarFiles(m_root).size(), 10u);
    const auto mapEntries = ParseArchive(ReadBytes(m_root / "data.twt"));
    EXPECT_TRUE(mapEntries.at("opponent.txt").starts_with("10 "));
    int nArchives = 0;
    int nLoose = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_root / kCarImage))
        ++(entry.is_directory() ? nLoose : nArchives);
    EXPECT_EQ(nArchives, 10);
    EXPECT_EQ(nLoose, 10);
}

TEST_F(DemoFolderTest, OutputIsTheSameEveryRunAndNeedsAnEmptyFolder) {
    WriteDemoFolder(m_root / "one", {});
    WriteDemoFolder(m_root / "two", {});
    std::size_t nFiles = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_root / "one")) {
        const fs::path other = m_root / "two" / fs::relative(entry.path(), m_root / "one");
        ASSERT_TRUE(fs::exists(other)) << other;
        if (entry.is_regular_file()) {
            EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(other)) << other;
            ++nFiles;
        }
    }
    EXPECT_GT(nFiles, 100u);
    EXPECT_THROW(WriteDemoFolder(m_root / "one", {}), std::runtime_error);
}

} // namespace
