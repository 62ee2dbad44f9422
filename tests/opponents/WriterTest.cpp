#include "opponents/OpponentWriter.h"

#include "opponents/OpponentListReader.h"
#include "opponents/OpponentReader.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
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

// Reads an opponent list the way the start-up load does.
std::vector<std::unique_ptr<CarRecord>> ReadList() {
    CFile file(kOpponentList, CFile::kBinaryRead);
    OpponentList list = ReadOpponentList(file, [](const std::string&) { return -1; });
    EXPECT_TRUE(list.bWhole) << list.strReason;
    return std::move(list.apRecords);
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

// Every car can be exported, whatever its name, under a name that every system takes; the file
// holds the car's own text, so it reads back as the same car.
TEST_F(WriterTest, AnyCarNameGivesAFileName) {
    const std::string strLong(300, 'L');
    const std::vector<std::pair<std::string, std::string>> aNames = {
        {"Why?", "Why_.C2C"},
        {"CON", "_CON.C2C"},
        {"con.car", "_con.car.C2C"},
        {"CONIN$", "_CONIN$.C2C"},
        {"conout$", "_conout$.C2C"},
        {"Lpt9", "_Lpt9.C2C"},
        {"Hawk Jr.", "Hawk Jr..C2C"},
        {strLong, std::string(kMaxCarFileNameBytes, 'L') + ".C2C"},
        {"", "Car.C2C"},
        {"A/B\\C:D*E\"F<G>H|I", "A_B_C_D_E_F_G_H_I.C2C"},
        {std::string("tab\tnul\0del\x7f", 12), "tab_nul_del_.C2C"},
        {"Caf\xE9", "Caf\xE9.C2C"},
        {"COM10", "COM10.C2C"},
        {"CONSOLE", "CONSOLE.C2C"},
    };
    for (const auto& [strName, strFile] : aNames) {
        SCOPED_TRACE(strFile);
        const std::string strText = gamefiles::RecordText("Jo", strName.empty() ? "x" : strName);
        EXPECT_EQ(WriteCarFile(*MakeRecord(strName, strText)), strFile);
        EXPECT_EQ(ReadBytes(strFile), strText);
        CFile file(strFile, CFile::kBinaryRead);
        const auto pRead = ParseRecord(file, [](const std::string&) { return -1; });
        ASSERT_TRUE(pRead);
        EXPECT_EQ(pRead->m_strText, strText);
    }
    EXPECT_EQ(CarFileBaseName("_" + std::string(kMaxCarFileNameBytes, 'x')).size(),
              kMaxCarFileNameBytes);
    EXPECT_EQ(CarFileBaseName("NUL" + std::string(200, '.')).size(), kMaxCarFileNameBytes);
}

// A name is free only when nothing stands under it in any case, readable or not.
TEST_F(WriterTest, AnEntryOfAnyKindTakesTheName) {
    std::filesystem::create_directory("hawk.c2c");
    WriteBytes("Hawk (2).C2C", "");
#ifndef _WIN32
    std::filesystem::create_symlink("nowhere", "HAWK (3).c2c");
#endif
    const std::string strFree =
#ifndef _WIN32
        "Hawk (4).C2C";
#else
        "Hawk (3).C2C";
#endif
    EXPECT_EQ(WriteCarFile(*MakeRecord("Hawk", "text\r\n")), strFree);
    EXPECT_EQ(ReadBytes(strFree), "text\r\n");
    EXPECT_TRUE(std::filesystem::is_directory("hawk.c2c"));
    EXPECT_EQ(ReadBytes("Hawk (2).C2C"), "");
}

TEST_F(WriterTest, FailedCarFileLeavesNothing) {
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Write; });
    EXPECT_THROW(WriteCarFile(*MakeRecord("Road Hog", "text\r\n")), CFileException);
    SetFileFaultHook({});
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"data"});
}

} // namespace
