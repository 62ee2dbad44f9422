#include "opponents/OpponentReader.h"

#include "platform/File.h"
#include "platform/FileException.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace support;

// Eleven values with the comments the game's own list carries.
const std::vector<std::string> kRecordLines = {
    "Jo Driver        // Name of driver",
    "JOD              // Short name",
    "Road Hog         // Car name",
    "3                // Strength",
    "45000            // Cost",
    "2                // Network availability",
    "HOG.TXT          // Car file",
    "Top speed 200",
    "0-60 in 4s",
    "Weight 1200",
    "A fast car.      // Description",
};

const std::string kRecordInfo =
    "Driver: Jo Driver\r\nCar: Road Hog\r\nStrength: 3\r\nCost: 45000\r\n"
    "Network Availability: 2\r\nTop speed 200\r\n0-60 in 4s\r\n"
    "Weight 1200\r\nDescription: A fast car.\r\n";

std::string JoinLines(const std::vector<std::string>& astrLines, const std::string& strEnd) {
    std::string str;
    for (const auto& strLine : astrLines)
        str += strLine + strEnd;
    return str;
}

class ReaderTest : public CTempFolderTest {
protected:
    // Opens the given bytes as the file a test reads.
    CFile& Open(const std::string& strBytes) {
        if (m_file.IsOpen())
            m_file.Close();
        WriteBytes("input.txt", strBytes);
        m_file.Open("input.txt", CFile::kBinaryRead);
        return m_file;
    }

    std::unique_ptr<CarRecord> Parse() {
        return ParseRecord(m_file, [this](const std::string& strBase) {
            m_astrAsked.push_back(strBase);
            return 7;
        });
    }

    CFile m_file;
    std::vector<std::string> m_astrAsked;
};

TEST_F(ReaderTest, ReadLineDropsCarriageReturnsAndEndsAtLineFeed) {
    CFile& file = Open("ab\r\nc\rd\r\n\nlast");
    EXPECT_EQ(ReadLine(file), "ab");
    EXPECT_EQ(ReadLine(file), "cd");
    EXPECT_EQ(ReadLine(file), "");
    EXPECT_EQ(ReadLine(file), "last");
    try {
        ReadLine(file);
        FAIL() << "no end of input";
    } catch (const CFileException& e) {
        EXPECT_TRUE(e.IsEndOfInput());
        EXPECT_EQ(e.m_cause, 0);
        EXPECT_EQ(e.m_lOsError, 0);
        EXPECT_EQ(e.m_strFileName, "EOF");
    }
}

TEST_F(ReaderTest, ReadLineAfterFinalLineEndRaises) {
    CFile& file = Open("x\r\n");
    EXPECT_EQ(ReadLine(file), "x");
    EXPECT_EQ(file.GetPosition(), 3u);
    EXPECT_THROW(ReadLine(file), CFileException);
}

TEST(ExtractValue, CutsCommentWithTheCharacterBeforeIt) {
    EXPECT_EQ(ExtractValue("EAGLE.TXT  // file"), "EAGLE.TXT");
    EXPECT_EQ(ExtractValue("ab//c"), "a");
    EXPECT_EQ(ExtractValue("x//y"), "");
    EXPECT_EQ(ExtractValue("// Opponent 3"), "");
    EXPECT_EQ(ExtractValue("\t plain value \v\f"), "plain value");
    EXPECT_EQ(ExtractValue(" \t "), "");
    EXPECT_EQ(ExtractValue("a // b // c"), "a");
}

TEST_F(ReaderTest, RecordFieldsFromValues) {
    Open(JoinLines(kRecordLines, "\r\n"));
    const auto pRecord = Parse();
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->m_strCarName, "Road Hog");
    EXPECT_EQ(pRecord->m_strFileBase, "HOG");
    EXPECT_EQ(pRecord->m_strInfo, kRecordInfo);
    // The whole trimmed lines, comments included.
    EXPECT_EQ(pRecord->m_strText, JoinLines(kRecordLines, "\r\n"));
    EXPECT_EQ(pRecord->m_nImage, 7);
    EXPECT_EQ(m_astrAsked, std::vector<std::string>{"HOG"});
}

TEST_F(ReaderTest, LineFeedsAloneAndStrayCarriageReturnsReadTheSame) {
    std::vector<std::string> astrLines = kRecordLines;
    astrLines[2] = "Road\r Hog         // Car name";
    Open(JoinLines(astrLines, "\n"));
    const auto pRecord = Parse();
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->m_strCarName, "Road Hog");
    EXPECT_EQ(pRecord->m_strInfo, kRecordInfo);
    EXPECT_EQ(pRecord->m_strText, JoinLines(kRecordLines, "\r\n"));
}

TEST_F(ReaderTest, ShortSeventhValueGivesEmptyFileBase) {
    std::vector<std::string> astrLines = kRecordLines;
    astrLines[6] = "CAR";
    Open(JoinLines(astrLines, "\r\n"));
    const auto pRecord = Parse();
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->m_strFileBase, "");
    EXPECT_EQ(m_astrAsked, std::vector<std::string>{""});

    astrLines[6] = "ABCDE";
    Open(JoinLines(astrLines, "\r\n"));
    EXPECT_EQ(Parse()->m_strFileBase, "A");
}

TEST_F(ReaderTest, HeadersBlanksAndCommentsBetweenValues) {
    std::vector<std::string> astrLines = kRecordLines;
    astrLines.insert(astrLines.begin() + 4, "  \t  ");
    astrLines.insert(astrLines.begin() + 2, "// a note about the car");
    astrLines.insert(astrLines.begin(), "// Opponent 12");
    astrLines.insert(astrLines.begin(), "");
    Open(JoinLines(astrLines, "\r\n"));
    const auto pRecord = Parse();
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->m_strInfo, kRecordInfo);
    std::vector<std::string> astrKept = kRecordLines;
    astrKept.insert(astrKept.begin() + 2, "// a note about the car");
    EXPECT_EQ(pRecord->m_strText, JoinLines(astrKept, "\r\n"));
}

TEST_F(ReaderTest, RecordsBackToBackLeaveTwelfthValueUnread) {
    std::vector<std::string> astrSecond = kRecordLines;
    astrSecond[0] = "Second Driver";
    const std::string strFirst =
        JoinLines(kRecordLines, "\r\n") + "// trailing note\r\n\r\n// Opponent 1\r\n";
    Open(strFirst + JoinLines(astrSecond, "\r\n") + "END\r\n");

    const auto pFirst = Parse();
    ASSERT_TRUE(pFirst);
    EXPECT_EQ(m_file.GetPosition(), strFirst.size());
    // A note after the eleventh value belongs to the record before it; the header does not.
    EXPECT_EQ(pFirst->m_strText, JoinLines(kRecordLines, "\r\n") + "// trailing note\r\n");

    const auto pSecond = Parse();
    ASSERT_TRUE(pSecond);
    EXPECT_EQ(pSecond->m_strInfo.substr(0, 23), "Driver: Second Driver\r\n");
    EXPECT_EQ(pSecond->m_strText, JoinLines(astrSecond, "\r\n"));

    // END is a first value with nothing after it: the end of the list.
    EXPECT_FALSE(Parse());
}

TEST_F(ReaderTest, ElevenValuesThenEndOfFileIsARecord) {
    const std::string strBytes = JoinLines(kRecordLines, "\r\n") + "\r\n  \r\n";
    Open(strBytes);
    ASSERT_TRUE(Parse());
    EXPECT_EQ(m_file.GetPosition(), strBytes.size());
    EXPECT_FALSE(Parse());
}

TEST_F(ReaderTest, IncompleteRecordsGiveNone) {
    Open("");
    EXPECT_FALSE(Parse());
    const std::vector<std::string> astrTen(kRecordLines.begin(), kRecordLines.end() - 1);
    Open(JoinLines(astrTen, "\r\n") + "// only a comment\r\n");
    EXPECT_FALSE(Parse());
    EXPECT_TRUE(m_astrAsked.empty());
}

TEST_F(ReaderTest, FailingPictureSourceGivesNone) {
    Open(JoinLines(kRecordLines, "\r\n"));
    const auto pRecord = ParseRecord(m_file, [](const std::string& strBase) -> int {
        throw CFileException(CFileException::hardIO, 5, strBase, "open", "broken");
    });
    EXPECT_FALSE(pRecord);
}

} // namespace
