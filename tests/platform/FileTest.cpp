#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace {

using FileTest = CTempFolderTest;
using support::ReadBytes;
using support::WriteBytes;

std::string Pattern(std::size_t nSize) {
    std::string str(nSize, '\0');
    for (std::size_t i = 0; i < nSize; ++i)
        str[i] = static_cast<char>(i * 7 % 251);
    return str;
}

std::string ReadAll(CFile& file, std::size_t nCount) {
    std::string str(nCount, '\0');
    str.resize(file.Read(str.data(), nCount));
    return str;
}

TEST_F(FileTest, WritesReadBackAndTruncatesOnCreate) {
    const std::string strBig = Pattern(150000);
    {
        CFile file("out.bin", CFile::kBinaryWrite);
        file.Write("head");
        file.Write(strBig.data(), strBig.size());
        EXPECT_EQ(file.GetPosition(), 4 + strBig.size());
        file.Flush();
        file.Close();
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_EQ(ReadBytes("out.bin"), "head" + strBig);

    CFile file("out.bin", CFile::kBinaryRead);
    EXPECT_EQ(file.GetLength(), 4 + strBig.size());
    EXPECT_EQ(ReadAll(file, 1000000), "head" + strBig);
    file.Close();

    CFile again("out.bin", CFile::kBinaryWrite);
    again.Write("ab");
    again.Close();
    EXPECT_EQ(ReadBytes("out.bin"), "ab");
}

TEST_F(FileTest, ReadsFewerOrNoBytesAtTheEnd) {
    WriteBytes("abc.txt", "abc");
    for (const unsigned nFlags : {CFile::kBinaryRead, CFile::kPlainRead}) {
        CFile file("abc.txt", nFlags);
        char a[10];
        EXPECT_EQ(file.Read(a, 2), 2u);
        EXPECT_EQ(file.Read(a, 10), 1u);
        EXPECT_EQ(a[0], 'c');
        EXPECT_EQ(file.Read(a, 10), 0u);
        EXPECT_EQ(file.Read(a, 1), 0u);
        EXPECT_EQ(file.GetPosition(), 3u);
    }
}

TEST_F(FileTest, PositionStaysExactAcrossTheReadAhead) {
    const std::string strData = Pattern(200000);
    WriteBytes("data.bin", strData);
    CFile file("data.bin", CFile::kBinaryRead);

    // Byte by byte over the end of the first buffer, as a line reader does.
    file.Seek(65530);
    for (std::size_t n = 65530; n < 65550; ++n) {
        char c = 0;
        ASSERT_EQ(file.Read(&c, 1), 1u);
        EXPECT_EQ(c, strData[n]);
        EXPECT_EQ(file.GetPosition(), n + 1);
    }
    file.Seek(65531); // back inside the buffer
    EXPECT_EQ(ReadAll(file, 5), strData.substr(65531, 5));
    file.Seek(10); // before it
    EXPECT_EQ(ReadAll(file, 3), strData.substr(10, 3));
    file.Seek(190000); // past it
    EXPECT_EQ(ReadAll(file, 20000), strData.substr(190000));
    EXPECT_EQ(file.GetPosition(), strData.size());
    file.Seek(300000); // past the end: reads nothing
    EXPECT_EQ(ReadAll(file, 4), "");

    // Random seeks and reads of every size against the model.
    std::mt19937 random(42);
    for (int i = 0; i < 300; ++i) {
        const std::size_t nAt = random() % (strData.size() + 10);
        const std::size_t nCount = random() % 3 == 0 ? random() % 100000 : random() % 40;
        file.Seek(nAt);
        const std::string strExpected = nAt < strData.size() ? strData.substr(nAt, nCount) : "";
        ASSERT_EQ(ReadAll(file, nCount), strExpected) << "at " << nAt << " count " << nCount;
        ASSERT_EQ(file.GetPosition(), nAt + strExpected.size());
    }
}

TEST_F(FileTest, EachFileReadsOnlyItsOwnBytesAfterAnother) {
    // Files read one after another, as a load reads them; a longer one first, so that bytes of it
    // would show in a shorter one read through the same place.
    WriteBytes("long.bin", Pattern(70000));
    WriteBytes("short.txt", "xyz");
    for (int i = 0; i < 2; ++i) {
        {
            CFile file("long.bin", CFile::kBinaryRead);
            EXPECT_EQ(ReadAll(file, 10), Pattern(10));
        }
        CFile file("short.txt", CFile::kBinaryRead);
        EXPECT_EQ(ReadAll(file, 100), "xyz");
        file.Seek(1);
        EXPECT_EQ(ReadAll(file, 100), "yz");
        CFile second("long.bin", CFile::kBinaryRead); // while another is open
        EXPECT_EQ(ReadAll(second, 70001), Pattern(70000));
    }
}

TEST_F(FileTest, FailuresNameTheFileAndTheCause) {
    std::filesystem::create_directory("data");
    try {
        CFile file("data\\missing.txt", CFile::kBinaryRead);
        FAIL() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_NE(e.m_lOsError, 0);
        EXPECT_EQ(e.m_strFileName, "data\\missing.txt");
        EXPECT_EQ(
            std::string(e.what()).rfind("Could not open \"data\\missing.txt\" for reading: ", 0),
            0u)
            << e.what();
    }

    std::filesystem::create_directory("folder");
    EXPECT_THROW(CFile("folder", CFile::kBinaryRead), CFileException);
    EXPECT_THROW(CFile("folder", CFile::kPlainRead), CFileException);
    EXPECT_THROW(CFile("folder", CFile::kBinaryWrite), CFileException);
    EXPECT_THROW(CFile("nowhere\\new.txt", CFile::kBinaryWrite), CFileException);

    WriteBytes("in.txt", "x");
    CFile reading("in.txt", CFile::kBinaryRead);
    EXPECT_THROW(reading.Write("y"), CFileException);
    CFile closed;
    char c;
    EXPECT_THROW(closed.Read(&c, 1), CFileException);
}

TEST(FileExceptionTest, MessagesReadAsSentences) {
    const CFileException eOpen(CFileException::fileNotFound, 2, "a.txt", "open {} for reading",
                               "The system cannot find the file specified.\r\n");
    EXPECT_STREQ(
        eOpen.what(),
        "Could not open \"a.txt\" for reading: The system cannot find the file specified.");
    const CFileException eWrite(CFileException::diskFull, 28, "b.txt", "write to",
                                "No space left on device");
    EXPECT_STREQ(eWrite.what(), "Could not write to \"b.txt\": No space left on device.");
    EXPECT_FALSE(eWrite.IsEndOfInput());

    const CFileException eEnd = CFileException::EndOfInput();
    EXPECT_EQ(eEnd.m_cause, CFileException::none);
    EXPECT_EQ(eEnd.m_lOsError, 0);
    EXPECT_EQ(eEnd.m_strFileName, "EOF");
    EXPECT_TRUE(eEnd.IsEndOfInput());
    EXPECT_STREQ(eEnd.what(), "Unexpected end of file.");
}

TEST_F(FileTest, FaultHookFailsOperationsWithoutTouchingTheDisk) {
    int nWrites = 0;
    SetFileFaultHook([&](FileOp op, const std::string& strPath) {
        return op == FileOp::Write && strPath == "out.txt" && ++nWrites == 3;
    });
    CFile out("out.txt", CFile::kBinaryWrite);
    out.Write("one");
    out.Write("two");
    try {
        out.Write("three");
        FAIL() << "third write succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::hardIO);
        EXPECT_EQ(e.m_strFileName, "out.txt");
        EXPECT_NE(std::string(e.what()).find("out.txt"), std::string::npos);
    }
    out.Close();
    EXPECT_EQ(ReadBytes("out.txt"), "onetwo");

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Read; });
    CFile in("out.txt", CFile::kBinaryRead);
    char c;
    EXPECT_THROW(in.Read(&c, 1), CFileException);
    EXPECT_EQ(in.GetPosition(), 0u);

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Open; });
    EXPECT_FALSE(CFile::Exists("out.txt"));

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Close; });
    EXPECT_THROW(in.Close(), CFileException);
    EXPECT_FALSE(in.IsOpen());

    SetFileFaultHook([](FileOp op, const std::string&) {
        return op == FileOp::Rename || op == FileOp::Remove || op == FileOp::Create;
    });
    EXPECT_THROW(CFile::Rename("out.txt", "moved.txt"), CFileException);
    EXPECT_THROW(CFile::Replace("out.txt", "moved.txt"), CFileException);
    EXPECT_THROW(CFile::Remove("out.txt"), CFileException);
    EXPECT_THROW(CFile("out.txt", CFile::kBinaryWrite), CFileException);
    SetFileFaultHook({});
    EXPECT_EQ(ReadBytes("out.txt"), "onetwo");
    EXPECT_FALSE(std::filesystem::exists("moved.txt"));
}

} // namespace
