#include "opponents/OpponentReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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

class ReaderTest : public testing::Test {
protected:
    // Takes the given bytes as the text a test reads.
    CTextReader& Open(const std::string& strBytes) {
        m_strBytes = strBytes;
        m_reader = CTextReader(m_strBytes);
        return m_reader;
    }

    std::unique_ptr<CarRecord> Parse() {
        auto pRecord = ParseRecord(m_reader);
        if (pRecord) {
            EXPECT_EQ(pRecord->m_nImage, -1) << "the caller attaches the picture";
        }
        return pRecord;
    }

    // The next line, or "<end>" when the text has none.
    static std::string Line(CTextReader& reader, bool* pbCut = nullptr) {
        std::string strLine;
        return reader.ReadLine(strLine, pbCut) ? strLine : "<end>";
    }

    std::string m_strBytes;
    CTextReader m_reader{""};
};

TEST_F(ReaderTest, ReadLineDropsCarriageReturnsAndEndsAtLineFeed) {
    CTextReader& reader = Open("ab\r\nc\rd\r\n\nlast");
    EXPECT_EQ(Line(reader), "ab");
    EXPECT_EQ(Line(reader), "cd");
    EXPECT_EQ(Line(reader), "");
    EXPECT_EQ(Line(reader), "last");
    EXPECT_EQ(Line(reader), "<end>");
    EXPECT_EQ(Line(reader), "<end>");
}

TEST_F(ReaderTest, ReadLineAfterFinalLineEndEnds) {
    CTextReader& reader = Open("x\r\n");
    EXPECT_EQ(Line(reader), "x");
    EXPECT_EQ(reader.GetPosition(), 3u);
    EXPECT_EQ(Line(reader), "<end>");
}

TEST_F(ReaderTest, ALastLineOfCarriageReturnsAloneIsNoLine) {
    CTextReader& reader = Open("x\n\r\r");
    EXPECT_EQ(Line(reader), "x");
    EXPECT_EQ(Line(reader), "<end>");
    Open("\r\n");
    EXPECT_EQ(Line(reader), "");
    EXPECT_EQ(Line(reader), "<end>");
}

TEST_F(ReaderTest, ALongLineIsCutAndTheRestPassedOver) {
    const std::string strLong(kMaxLineBytes, 'y');
    CTextReader& reader = Open(strLong + "\r" + "zz\r\nnext");
    bool bCut = false;
    EXPECT_EQ(Line(reader, &bCut), strLong);
    EXPECT_TRUE(bCut);
    bCut = false;
    EXPECT_EQ(Line(reader, &bCut), "next");
    EXPECT_FALSE(bCut);
    Open(strLong + "\r\r\n"); // carriage returns do not count
    EXPECT_EQ(Line(reader, &bCut), strLong);
    EXPECT_FALSE(bCut);
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
    EXPECT_EQ(pRecord->m_nImage, -1);
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
    EXPECT_EQ(m_reader.GetPosition(), strFirst.size());
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
    EXPECT_EQ(m_reader.GetPosition(), strBytes.size());
    EXPECT_FALSE(Parse());
}

TEST_F(ReaderTest, IncompleteRecordsGiveNone) {
    Open("");
    EXPECT_FALSE(Parse());
    const std::vector<std::string> astrTen(kRecordLines.begin(), kRecordLines.end() - 1);
    Open(JoinLines(astrTen, "\r\n") + "// only a comment\r\n");
    RecordEnd end;
    EXPECT_FALSE(ParseRecord(m_reader, &end));
    EXPECT_EQ(end.nValues, 10);
    EXPECT_FALSE(end.bLineCut);
}

} // namespace
