#include "opponents/OpponentWriter.h"

#include "opponents/CarFileReader.h"
#include "opponents/OpponentListReader.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    OpponentList list = ParseOpponentList(ReadWholeFile(kOpponentList, kMaxOpponentListBytes));
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
    WriteOpponentList(std::vector<std::unique_ptr<CarRecord>>{});
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

    const CarFile read = ReadCarFile("Road Hog.C2C");
    ASSERT_TRUE(read.pRecord) << read.strReason;
    EXPECT_EQ(read.pRecord->m_strText, pRecord->m_strText);
    EXPECT_EQ(read.pRecord->m_strCarName, "Road Hog");
    EXPECT_EQ(read.pRecord->m_nImage, -1);
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
        const CarFile read = ReadCarFile(strFile);
        ASSERT_TRUE(read.pRecord) << read.strReason;
        EXPECT_EQ(read.pRecord->m_strText, strText);
    }
    EXPECT_EQ(CarFileBaseName("_" + std::string(kMaxCarFileNameBytes, 'x')).size(),
              kMaxCarFileNameBytes);
    EXPECT_EQ(CarFileBaseName("NUL" + std::string(200, '.')).size(), kMaxCarFileNameBytes);
}

// The names in the folder as the program lists them.
std::vector<std::string> FoundNames() {
    std::vector<std::string> astrNames;
    for (const FolderEntry& entry : FindFiles("*"))
        astrNames.push_back(entry.strName);
    return astrNames;
}

// A name whose bytes each take three in UTF-8 (the euro sign of a western code page) is cut so
// that every numbered name fits, and the file stands under exactly the name returned; the search
// for a free name ends, and a name the system does not keep is no export.
TEST_F(WriterTest, ExportedNamesAreKeptAndTheSearchEnds) {
    const std::string strEuros(kMaxCarFileNameBytes, '\x80');
    const std::size_t nRoom = kMaxCarFileNameUtf8Bytes - std::string(" (1000).C2C").size();
    const std::vector<std::pair<std::string, std::string>> aNames = {
        {strEuros, strEuros.substr(0, nRoom / 3)},
        {strEuros.substr(0, 40) + std::string(200, 'x'),
         strEuros.substr(0, 40) + std::string(nRoom - 120, 'x')},
        // Cut once more after the device name's "_".
        {"Con.xx" + strEuros, "_Con.xx" + strEuros.substr(0, (nRoom - 7) / 3)},
    };
    for (const auto& [strName, strBase] : aNames) {
        EXPECT_EQ(CarFileBaseName(strName), strBase);
        const auto pRecord = MakeRecord(strName, "text\r\n");
        for (const std::string strSuffix : {".C2C", " (2).C2C"}) {
            const std::string strFile = strBase + strSuffix;
            EXPECT_EQ(WriteCarFile(*pRecord), strFile);
            EXPECT_EQ(std::ranges::count(FoundNames(), strFile), 1);
            EXPECT_EQ(ReadWholeFile(strFile), "text\r\n");
        }
    }

    WriteBytes("Hawk.C2C", "");
    for (int n = 2; n <= kMaxCarFileNameTries; ++n)
        WriteBytes("Hawk (" + std::to_string(n) + ").C2C", "");
    const std::vector<std::string> astrBefore = FoundNames();
    try {
        WriteCarFile(*MakeRecord("Hawk", "text\r\n"));
        ADD_FAILURE() << "no free name, yet no failure";
    } catch (const CFileException& e) {
        EXPECT_STREQ(e.what(), "Could not export the car as \"Hawk.C2C\": that name and its "
                               "numbered forms up to \"Hawk (1000).C2C\" are all taken. Move some "
                               "of those files out of the game's folder, then try again.");
    }
    EXPECT_EQ(FoundNames(), astrBefore);

    // A name too long in UTF-8 is refused at once, or (under Wine, at 120 such bytes) stored cut,
    // found missing and taken away again; one written stands under exactly its name.
    for (const std::size_t nBytes : {kMaxCarFileNameBytes, std::size_t{300}}) {
        const std::string strFile = std::string(nBytes, '\x80') + ".C2C";
        try {
            WriteNewCarFile(strFile, "text\r\n");
            EXPECT_EQ(std::ranges::count(FoundNames(), strFile), 1);
            CFile::Remove(strFile);
        } catch (const CFileException&) {
        }
        EXPECT_EQ(FoundNames(), astrBefore);
    }
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

// ANSI text as an editor saves it in UTF-16, the mark first when asked for.
std::string Utf16(const std::string& str, bool bBigEndian, bool bMark) {
    std::string strBytes = bMark ? "\xFF\xFE" : "";
    for (const char ch : str)
        strBytes += std::string{ch, '\0'};
    if (bBigEndian)
        for (std::size_t i = 0; i + 1 < strBytes.size(); i += 2)
            std::swap(strBytes[i], strBytes[i + 1]);
    return strBytes;
}

// A car file or an opponent list in UTF-16 is never taken for text, with or without its mark, in
// either byte order; a UTF-8 mark is passed over and never written back.
TEST_F(WriterTest, CarFilesAndListsInOtherEncodings) {
    const std::string strCar = gamefiles::RecordText("Hog");
    const std::string strList = gamefiles::OpponentList({strCar});
    for (const bool bBigEndian : {false, true}) {
        for (const bool bMark : {false, true}) {
            SCOPED_TRACE(std::string(bBigEndian ? "big" : "little") + (bMark ? " marked" : ""));
            WriteBytes("hog.c2c", Utf16("// Caf\xE9\r\n" + strCar, bBigEndian, bMark));
            const CarFile car = ReadCarFile("hog.c2c");
            EXPECT_FALSE(car.pRecord);
            EXPECT_EQ(car.strReason, "UTF-16 text; save it as ANSI");

            const OpponentList list =
                ParseOpponentList(Utf16(strList, bBigEndian, bMark), 10, kOpponentList);
            EXPECT_FALSE(list.bWhole);
            EXPECT_TRUE(list.apRecords.empty());
            EXPECT_EQ(list.strReason, "The opponent list \"data\\opponent.txt\" is UTF-16 text; "
                                      "save it as ANSI.");
        }
    }
    // Stray NULs make no UTF-16 of ANSI text; a car whose text would read as UTF-16 is not
    // exported (a list written begins with its count, never so).
    WriteBytes("zero.c2c", std::string(2, '\0') + strCar);
    EXPECT_TRUE(ReadCarFile("zero.c2c").pRecord);
    EXPECT_THROW(WriteCarFile(*MakeRecord("Hog", Utf16(strCar, false, false))), CFileException);

    // UTF-8 marks, at the start or where a file was joined on, are no part of the text.
    const std::string strMark = "\xEF\xBB\xBF";
    WriteBytes("hog.c2c", strMark + "// first comment\r\n" + strCar);
    const CarFile car = ReadCarFile("hog.c2c");
    ASSERT_TRUE(car.pRecord) << car.strReason;
    EXPECT_EQ(car.pRecord->m_strCarName, "Hog");
    EXPECT_EQ(car.pRecord->m_strText, "// first comment\r\n" + strCar);
    WriteBytes("data/opponent.txt", strMark + "2\r\n" + strCar + strMark + "// Opponent 1\r\n " +
                                        strMark + strMark + strCar);
    const auto apRecords = ReadList();
    ASSERT_EQ(apRecords.size(), 2u);
    EXPECT_EQ(apRecords[0]->m_strText, strCar);
    EXPECT_EQ(apRecords[1]->m_strText, strCar);
    WriteOpponentList(apRecords);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), gamefiles::OpponentList({strCar, strCar}));
    EXPECT_EQ(ReadBytes(WriteCarFile(*car.pRecord)), car.pRecord->m_strText);
}

TEST_F(WriterTest, FailedCarFileLeavesNothing) {
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Write; });
    EXPECT_THROW(WriteCarFile(*MakeRecord("Road Hog", "text\r\n")), CFileException);
    SetFileFaultHook({});
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"data"});
}

} // namespace
