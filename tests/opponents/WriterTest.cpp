#include "opponents/OpponentWriter.h"

#include "opponents/OpponentReader.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace support;

std::string CommentedRecord(const std::string& strDriver, const std::string& strCar) {
    return strDriver + " // driver\r\nX\r\n" + strCar +
           " // car\r\n5\r\n1000\r\n0\r\nCAR.TXT\r\na\r\nb\r\nc\r\nSomething. // description\r\n";
}

std::unique_ptr<CarRecord> MakeRecord(const std::string& strCar, const std::string& strText) {
    auto pRecord = std::make_unique<CarRecord>();
    pRecord->m_strCarName = strCar;
    pRecord->m_strText = strText;
    return pRecord;
}

std::vector<std::unique_ptr<CarRecord>> ThreeRecords() {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    apRecords.push_back(MakeRecord("One", CommentedRecord("Ann", "One")));
    apRecords.push_back(MakeRecord("Two", CommentedRecord("Bob", "Two") + "// kept note\r\n"));
    apRecords.push_back(MakeRecord("Three", CommentedRecord("Cy", "Three")));
    return apRecords;
}

// Reads an opponent list the way the start-up load does: skip to the count, then record by record.
std::vector<std::unique_ptr<CarRecord>> ReadList() {
    CFile file(kOpponentList, CFile::kBinaryRead);
    while (ReadLine(file).empty()) {
    }
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    while (auto pRecord = ParseRecord(file, [](const std::string&) { return -1; }))
        apRecords.push_back(std::move(pRecord));
    return apRecords;
}

class WriterTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directory("data");
    }
};

TEST_F(WriterTest, OpponentListBytes) {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    for (const char* pszText : {"a\r\n", "b\r\n", "c\r\n"})
        apRecords.push_back(MakeRecord("", pszText));
    WriteOpponentList(apRecords);
    EXPECT_EQ(ReadBytes("data/opponent.txt"),
              "3\r\n\r\n// Opponent 0\r\na\r\n\r\n\r\n// Opponent 1\r\nb\r\n\r\n\r\n"
              "// Opponent 2\r\nc\r\n\r\n\r\nEND\r\n");

    // A shorter list replaces the whole of the longer one.
    WriteOpponentList({});
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "0\r\n\r\nEND\r\n");
    EXPECT_EQ(ListFolder("data"), std::vector<std::string>{"opponent.txt"});
}

TEST_F(WriterTest, OpponentListRoundTripIsByteIdentical) {
    const auto apWritten = ThreeRecords();
    WriteOpponentList(apWritten);
    const std::string strFirst = ReadBytes("data/opponent.txt");

    const auto apRead = ReadList();
    ASSERT_EQ(apRead.size(), 3u);
    for (std::size_t i = 0; i < apRead.size(); ++i) {
        EXPECT_EQ(apRead[i]->m_strText, apWritten[i]->m_strText);
        EXPECT_EQ(apRead[i]->m_strCarName, apWritten[i]->m_strCarName);
        EXPECT_EQ(apRead[i]->m_strFileBase, "CAR");
    }
    WriteOpponentList(apRead);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strFirst);
}

TEST_F(WriterTest, MissingDataFolderRaises) {
    std::filesystem::remove("data");
    EXPECT_THROW(WriteOpponentList(ThreeRecords()), CFileException);
}

// A failure at any step of the write leaves the old list as it was and no temporary file behind.
TEST_F(WriterTest, FailedWriteKeepsOldList) {
    const std::string strOld = "1\r\n\r\n// Opponent 0\r\nold\r\n\r\n\r\nEND\r\n";
    for (const FileOp op :
         {FileOp::Create, FileOp::Write, FileOp::Flush, FileOp::Close, FileOp::Rename}) {
        SCOPED_TRACE(static_cast<int>(op));
        WriteBytes("data/opponent.txt", strOld);
        SetFileFaultHook([op](FileOp opNow, const std::string&) { return opNow == op; });
        try {
            WriteOpponentList(ThreeRecords());
            ADD_FAILURE() << "the failure was not reported";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::hardIO);
        }
        SetFileFaultHook({});
        EXPECT_EQ(ReadBytes("data/opponent.txt"), strOld);
        EXPECT_EQ(ListFolder("data"), std::vector<std::string>{"opponent.txt"});
    }
}

TEST_F(WriterTest, CarFileReadsBackAsOneRecord) {
    const auto pRecord = MakeRecord("Road Hog", CommentedRecord("Jo", "Road Hog"));
    EXPECT_EQ(WriteCarFile(*pRecord), "Road Hog.C2C");
    EXPECT_EQ(ReadBytes("Road Hog.C2C"), pRecord->m_strText);

    CFile file("Road Hog.C2C", CFile::kBinaryRead);
    const auto pRead = ParseRecord(file, [](const std::string&) { return 3; });
    ASSERT_TRUE(pRead);
    EXPECT_EQ(pRead->m_strText, pRecord->m_strText);
    EXPECT_EQ(pRead->m_strCarName, "Road Hog");
    EXPECT_EQ(pRead->m_nImage, 3);
}

TEST_F(WriterTest, CarFileNeverOverwrites) {
    WriteBytes("ROAD HOG.c2c", "first");
    WriteBytes("Road Hog (2).C2C", "second");
    const auto pRecord = MakeRecord("Road Hog", "third\r\n");
    EXPECT_EQ(WriteCarFile(*pRecord), "Road Hog (3).C2C");
    EXPECT_EQ(WriteCarFile(*pRecord), "Road Hog (4).C2C");
    EXPECT_EQ(ReadBytes("ROAD HOG.c2c"), "first");
    EXPECT_EQ(ReadBytes("Road Hog (2).C2C"), "second");
    EXPECT_EQ(ReadBytes("Road Hog (3).C2C"), "third\r\n");
}

TEST_F(WriterTest, UnsafeCarNamesAreRefused) {
    for (const std::string strName :
         {"",    "A/B",   "A\\B",      "C:car",   "what?",  "st*r",      "\"q\"",
          "<a>", "pi|pe", "tab\there", "del\x7f", "CON",    "con",       "Nul.car",
          "aux", "PRN",   "com1",      "LPT9.x",  "CON .x", "trailing ", "trailing."}) {
        SCOPED_TRACE(strName);
        EXPECT_FALSE(IsSafeCarName(strName));
        EXPECT_THROW(WriteCarFile(*MakeRecord(strName, "text\r\n")), CFileException);
    }
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"data"});

    try {
        WriteCarFile(*MakeRecord("A/B", "text\r\n"));
    } catch (const CFileException& e) {
        EXPECT_STREQ(e.what(), "Could not export the car \"A/B\": its name cannot be a file name.");
    }

    for (const std::string strName : {"Road Hog", "CONSOLE", "COM10", "LPT0", "Nulla", "a.b", "É"})
        EXPECT_TRUE(IsSafeCarName(strName)) << strName;
}

TEST_F(WriterTest, FailedCarFileLeavesNothing) {
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Write; });
    EXPECT_THROW(WriteCarFile(*MakeRecord("Road Hog", "text\r\n")), CFileException);
    SetFileFaultHook({});
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"data"});
}

} // namespace
