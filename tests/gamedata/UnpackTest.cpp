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

    // The player is told which file and why.
    static void ExpectTold(const std::string& strProblem, const std::string& strWhy) {
        EXPECT_TRUE(strProblem.starts_with("The game's data archive data.twt ")) << strProblem;
        EXPECT_NE(strProblem.find(strWhy), std::string::npos) << strProblem;
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

    EXPECT_EQ(UnpackArchive(), "");

    EXPECT_EQ(ReadBytes("data/a.txt"), "12345");
    EXPECT_EQ(ReadBytes("data/b.bin"), "abcdefgh");
    EXPECT_EQ(ReadBytes("data/intrface/big.pix"), strBig);
    EXPECT_EQ(ReadBytes("data/e"), "");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);

    // Later runs find no archive and do nothing.
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);
}

TEST_F(UnpackTest, ExistingLooseFilesAreNeverReplaced) {
    // The player's saved list in another case, and a folder where the archive has a file.
    WriteBytes("data/OPPONENT.TXT", "the player's list");
    std::filesystem::create_directories("data/sub");
    const std::string strArchive = Archive({{"opponent.txt", "the archive's list"},
                                            {"sub", "x"},
                                            {"new.txt", "new"},
                                            {"NEW.TXT", "a second of the same name"}},
                                           std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data/OPPONENT.TXT"), "the player's list");
    EXPECT_EQ(ReadBytes("data/new.txt"), "new");
    EXPECT_EQ(ListFolder("data"), (std::vector<std::string>{"OPPONENT.TXT", "new.txt", "sub"}));
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);
}

TEST_F(UnpackTest, EmptyArchiveIsRetired) {
    const std::string strArchive = Archive({}, std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), strArchive);
    EXPECT_TRUE(ListFolder("data").empty());
}

TEST_F(UnpackTest, ArchiveIsDeletedWhenRetiredOneExists) {
    WriteBytes("data.twat", "retired earlier");
    WriteBytes("data.twt", Archive({{"a.txt", "x"}}, std::nullopt, kNoZeros));
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data/a.txt"), "x");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data.twat"), "retired earlier");
}

TEST_F(UnpackTest, MissingArchiveDoesNothing) {
    EXPECT_EQ(UnpackArchive(), "") << "no archive, nothing to tell";
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
        ExpectTold(UnpackArchive(), "could not be unpacked");
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
        ExpectTold(UnpackArchive(), "could not be unpacked");
        EXPECT_EQ(ReadBytes("data.twt"), strArchive);
        EXPECT_FALSE(std::filesystem::exists("data/good.txt"));
        EXPECT_FALSE(std::filesystem::exists("evil.txt"));
        EXPECT_FALSE(std::filesystem::exists("data.twat"));
    }
    for (const std::string strName :
         {"opponent.txt", "intrface\\carimage\\A.PIX", "a..b", ".x", "CONSOLE.TXT", "COM0"})
        EXPECT_TRUE(IsSafeEntryName(strName)) << strName;
}

TEST_F(UnpackTest, FailedEntryUndoesTheWholeRun) {
    WriteBytes("data/old.txt", "older");
    const std::string strArchive =
        Archive({{"a.txt", "1"}, {"old.txt", "2"}, {"nosuch\\b.txt", "3"}, {"c.txt", "4"}},
                std::nullopt, kNoZeros);
    WriteBytes("data.twt", strArchive);
    ExpectTold(UnpackArchive(), "could not be unpacked: could not create \"data\\nosuch\\b.txt");
    EXPECT_EQ(ListFolder("data"), std::vector<std::string>{"old.txt"}) << "no file, no fragment";
    EXPECT_EQ(ReadBytes("data/old.txt"), "older");
    EXPECT_EQ(ReadBytes("data.twt"), strArchive);
    EXPECT_FALSE(std::filesystem::exists("data.twat"));
}

TEST_F(UnpackTest, ArchiveThatCannotBeRetiredIsToldAndHarmlessNextTime) {
    WriteBytes("data.twt", Archive({{"a.txt", "1"}}, std::nullopt, kNoZeros));
    SetFileFaultHook([](FileOp op, const std::string& strPath) {
        return op == FileOp::Rename && strPath == "data.twt";
    });
    const std::string strProblem = UnpackArchive();
    SetFileFaultHook({});
    ExpectTold(strProblem, "was unpacked, but could not be moved out of the way");
    EXPECT_EQ(ReadBytes("data/a.txt"), "1");
    EXPECT_TRUE(std::filesystem::exists("data.twt"));

    // The player edits the unpacked file; the next start must not put the archive's back.
    WriteBytes("data/a.txt", "edited");
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data/a.txt"), "edited");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
}

TEST_F(UnpackTest, ReadOnlyArchiveBesideRetiredOneStaysAndIsTold) {
    // As files copied from a disc are. Windows refuses to delete a read-only file; elsewhere the
    // folder's permission decides, and the archive goes.
    WriteBytes("data.twat", "retired earlier");
    WriteBytes("data.twt", Archive({{"a.txt", "1"}}, std::nullopt, kNoZeros));
    SetReadOnly("data.twt", true);
    const std::string strProblem = UnpackArchive();
    EXPECT_EQ(ReadBytes("data/a.txt"), "1");
    EXPECT_EQ(ReadBytes("data.twat"), "retired earlier");
#ifdef _WIN32
    ExpectTold(strProblem, "could not be moved out of the way");
    EXPECT_TRUE(std::filesystem::exists("data.twt"));
    SetReadOnly("data.twt", false); // or the folder could not be cleaned up
#else
    EXPECT_EQ(strProblem, "");
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
#endif
}

} // namespace
