#include "gamedata/ArchiveReader.h"

#include "platform/File.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gamefiles::Archive;
using gamefiles::kNoZeros;
using namespace support;

class ArchiveReaderTest : public CTempFolderTest {
protected:
    ArchiveDirectory Read(const std::string& strBytes) {
        WriteBytes("archive.twt", strBytes);
        CFile file("archive.twt", CFile::modeRead);
        return ReadArchiveDirectory(file);
    }
};

TEST_F(ArchiveReaderTest, OffsetsFollowTheDirectoryPaddedToFour) {
    const auto directory = Read(Archive(
        {{"first.bin", "12345"}, {"second.bin", "abcdefgh"}, {"z", ""}}, std::nullopt, kNoZeros));
    EXPECT_FALSE(directory.m_bDamaged);
    ASSERT_EQ(directory.m_aEntries.size(), 3u);
    EXPECT_EQ(directory.m_aEntries[0].m_strName, "first.bin");
    EXPECT_EQ(directory.m_aEntries[0].m_nSize, 5u);
    EXPECT_EQ(directory.m_aEntries[0].m_nOffset, 176u);
    EXPECT_EQ(directory.m_aEntries[1].m_nOffset, 184u);
    EXPECT_EQ(directory.m_aEntries[1].m_nSize, 8u);
    EXPECT_EQ(directory.m_aEntries[2].m_nOffset, 192u);
}

TEST_F(ArchiveReaderTest, TwoEntriesOfFiveAndEight) {
    const auto directory =
        Read(Archive({{"a", "12345"}, {"b", "abcdefgh"}}, std::nullopt, kNoZeros));
    ASSERT_EQ(directory.m_aEntries.size(), 2u);
    EXPECT_EQ(directory.m_aEntries[0].m_nOffset, 120u);
    EXPECT_EQ(directory.m_aEntries[1].m_nOffset, 128u);
}

TEST_F(ArchiveReaderTest, LargeSizeIsLittleEndian) {
    std::string strBytes = Archive({{"big", ""}}, std::nullopt, kNoZeros);
    strBytes[8] = '\x04';
    strBytes[9] = '\x03';
    strBytes[10] = '\x02';
    strBytes[11] = '\xF1';
    const auto directory = Read(strBytes);
    ASSERT_EQ(directory.m_aEntries.size(), 1u);
    EXPECT_EQ(directory.m_aEntries[0].m_nSize, 0xF1020304u);
}

TEST_F(ArchiveReaderTest, NameWithoutNulInItsSlotRunsOn) {
    const std::string strLong(52, 'n');
    std::string strBytes = Archive({{strLong, "xyz"}}, std::nullopt, kNoZeros);
    strBytes[64 + 3] = '\0'; // the filler after the data ends the name
    const auto directory = Read(strBytes);
    EXPECT_FALSE(directory.m_bDamaged);
    ASSERT_EQ(directory.m_aEntries.size(), 1u);
    EXPECT_EQ(directory.m_aEntries[0].m_strName, strLong + "xyz");
    EXPECT_EQ(directory.m_aEntries[0].m_nOffset, 64u);
}

TEST_F(ArchiveReaderTest, DamageKeepsTheEntriesBeforeIt) {
    EXPECT_TRUE(Read("\xEE\xEE\xEE\xEE").m_bDamaged);
    EXPECT_TRUE(Read("").m_bDamaged);

    // The second name runs to the end of the file.
    std::string strBytes =
        Archive({{"a", "1"}, {std::string(52, 'n'), ""}}, std::nullopt, kNoZeros);
    const auto directory = Read(strBytes);
    EXPECT_TRUE(directory.m_bDamaged);
    ASSERT_EQ(directory.m_aEntries.size(), 1u);
    EXPECT_EQ(directory.m_aEntries[0].m_strName, "a");

    // The directory says two entries, the file ends inside the second slot's size.
    strBytes = Archive({{"a", ""}, {"b", ""}}, std::nullopt, kNoZeros);
    EXPECT_TRUE(Read(strBytes.substr(0, 66)).m_bDamaged);
}

} // namespace
