#include "gamedata/GameData.h"

#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using gamefiles::Archive;
using gamefiles::kNoZeros;
using namespace support;

using Entries = std::vector<std::pair<std::string, std::string>>;

class UnpackTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directory("data");
    }

    // The archive must still be there, unchanged, with nothing unpacked and nothing retired.
    void ExpectLeftInPlace(const std::string& strArchive) {
        EXPECT_EQ(ReadBytes("data.twt"), strArchive);
        EXPECT_FALSE(std::filesystem::exists("data.twat"));
        EXPECT_TRUE(ListFolder("data").empty());
    }
};

TEST_F(UnpackTest, EntriesBecomeLooseFilesAndArchiveIsRetired) {
    std::string strBig(200000, '\0');
    for (std::size_t i = 0; i < strBig.size(); ++i)
        strBig[i] = static_cast<char>(i * 7 % 251);
    std::filesystem::create_directories("data/intrface");
    const std::string strArchive = Archive(
        {{"a.txt", "12345"}, {"b.bin", "abcdefgh"}, {"intrface\\big.pix", strBig}, {"e", ""}},
        std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);

    UnpackArchive();

    EXPECT_EQ(ReadBytes("data/a.txt"), "12345");
    EXPECT_EQ(ReadBytes("data/b.bin"), "abcdefgh");
    EXPECT_EQ(ReadBytes("data/intrface/big.pix"), strBig);
    EXPECT_EQ(ReadBytes("data/e"), "");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);

    // Later runs find no archive and do nothing.
    UnpackArchive();
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);
}

TEST_F(UnpackTest, UnpackedFilesReplaceExistingOnes) {
    WriteBytes("data/a.txt", "an older and longer file");
    WriteBytes("data.twt", Archive({{"a.txt", "new"}}, std::nullopt, kNoZeros));
    UnpackArchive();
    EXPECT_EQ(ReadBytes("data/a.txt"), "new");
}

TEST_F(UnpackTest, EmptyArchiveIsRetired) {
    const std::string strArchive = Archive({}, std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);
    UnpackArchive();
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);
    EXPECT_TRUE(ListFolder("data").empty());
}

TEST_F(UnpackTest, ArchiveIsDeletedWhenRetiredOneExists) {
    WriteBytes("data.twat", "retired earlier");
    WriteBytes("data.twt", Archive({{"a.txt", "x"}}, std::nullopt, kNoZeros));
    UnpackArchive();
    EXPECT_EQ(ReadBytes("data/a.txt"), "x");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), "retired earlier");
}

TEST_F(UnpackTest, MissingArchiveDoesNothing) {
    EXPECT_NO_THROW(UnpackArchive());
    EXPECT_TRUE(ListFolder(".") == std::vector<std::string>{"data"});
}

TEST_F(UnpackTest, DamagedArchivesAreLeftInPlace) {
    const std::string strWhole =
        Archive({{"a.txt", "12345"}, {"b.txt", "abcdefgh"}}, std::nullopt, kNoZeros);
    std::string strNoNul =
        Archive({{"a.txt", "1"}, {std::string(52, 'n'), ""}}, std::nullopt, kNoZeros);
    const std::vector<std::string> astrDamaged = {
        "",
        "\xEE\xEE\xEE\xEE",              // ends before the count
        strWhole.substr(0, 8 + 56 + 30), // ends inside the second slot
        strNoNul,                        // last name has no NUL
        strWhole.substr(0, 128 + 7),     // second entry's data cut short
        Archive({{"a.txt", "1"}}, std::nullopt, kNoZeros)
            .substr(0, 64), // data of the one entry missing
    };
    for (std::size_t i = 0; i < astrDamaged.size(); ++i) {
        SCOPED_TRACE(i);
        WriteBytes("data.twt", astrDamaged[i]);
        UnpackArchive();
        ExpectLeftInPlace(astrDamaged[i]);
    }
}

TEST_F(UnpackTest, UnsafeNamesLeaveArchiveInPlace) {
    std::filesystem::create_directories("data/sub");
    for (const std::string strName :
         {"", "..\\evil.txt", "../evil.txt", "\\evil.txt", "/evil.txt", "C:evil.txt",
          "sub\\..\\..\\evil.txt", "sub/../../evil.txt", "sub\\..", "...\\evil.txt", "NUL",
          "sub\\com1.txt", "Con .dat"}) {
        SCOPED_TRACE(strName);
        EXPECT_FALSE(IsSafeEntryName(strName));
        // A good entry first: nothing at all is written from a damaged archive.
        const std::string strArchive =
            Archive({{"good.txt", "good"}, {strName, "evil"}}, std::nullopt, kNoZeros);
        WriteBytes("data.twt", strArchive);
        UnpackArchive();
        EXPECT_EQ(ReadBytes("data.twt"), strArchive);
        EXPECT_FALSE(std::filesystem::exists("data/good.txt"));
        EXPECT_FALSE(std::filesystem::exists("evil.txt"));
        EXPECT_FALSE(std::filesystem::exists("data.twat"));
    }
    for (const std::string strName :
         {"opponent.txt", "intrface\\carimage\\A.PIX", "a..b", ".x", "CONSOLE.TXT", "COM0"})
        EXPECT_TRUE(IsSafeEntryName(strName)) << strName;
}

TEST_F(UnpackTest, TargetThatCannotBeMadeStopsAndKeepsArchive) {
    const std::string strArchive =
        Archive({{"a.txt", "1"}, {"nosuch\\b.txt", "2"}, {"c.txt", "3"}}, std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);
    UnpackArchive();
    EXPECT_EQ(ListFolder("data"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadBytes("data.twt"), strArchive);
    EXPECT_FALSE(std::filesystem::exists("data.twat"));
}

TEST_F(UnpackTest, FailedRetirementIsSilent) {
    WriteBytes("data.twt", Archive({{"a.txt", "1"}}, std::nullopt, kNoZeros));
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
    EXPECT_NO_THROW(UnpackArchive());
    SetFileFaultHook({});
    EXPECT_EQ(ReadBytes("data/a.txt"), "1");
    EXPECT_TRUE(std::filesystem::exists("data.twt"));
}

} // namespace
