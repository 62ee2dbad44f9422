#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>

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

TEST_F(FileTest, WritesAndReadsBack) {
    const std::string strBig = Pattern(150000);
    {
        CFile file("out.bin", CFile::modeCreateNew);
        file.Write("head", 4);
        file.Write(strBig.data(), strBig.size());
        file.Flush();
        file.Close();
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_EQ(ReadBytes("out.bin"), "head" + strBig);

    CFile file("out.bin", CFile::modeRead);
    EXPECT_EQ(file.GetLength(), 4 + strBig.size());
    EXPECT_EQ(ReadAll(file, 1000000), "head" + strBig);
    file.Close();
}

TEST_F(FileTest, ReadsFewerOrNoBytesAtTheEnd) {
    WriteBytes("abc.txt", "abc");
    CFile file("abc.txt", CFile::modeRead);
    char a[10];
    EXPECT_EQ(file.Read(a, 2), 2u);
    EXPECT_EQ(file.Read(a, 10), 1u);
    EXPECT_EQ(a[0], 'c');
    EXPECT_EQ(file.Read(a, 10), 0u);
    EXPECT_EQ(file.Read(a, 1), 0u);
}

TEST_F(FileTest, SeeksAndReadsKeepTheExactPosition) {
    const std::string strData = Pattern(200000);
    WriteBytes("data.bin", strData);
    CFile file("data.bin", CFile::modeRead);

    // Byte by byte, then back and forth.
    file.Seek(65530);
    for (std::size_t n = 65530; n < 65550; ++n) {
        char c = 0;
        ASSERT_EQ(file.Read(&c, 1), 1u);
        EXPECT_EQ(c, strData[n]);
    }
    file.Seek(65531); // a little back
    EXPECT_EQ(ReadAll(file, 5), strData.substr(65531, 5));
    file.Seek(10); // far back
    EXPECT_EQ(ReadAll(file, 3), strData.substr(10, 3));
    file.Seek(190000); // far on
    EXPECT_EQ(ReadAll(file, 20000), strData.substr(190000));
    EXPECT_EQ(ReadAll(file, 1), "");
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
    }
}

TEST_F(FileTest, ReadWholeFileRefusesAFileLargerThanItsLimit) {
    WriteBytes("five.txt", "12345");
    EXPECT_EQ(ReadWholeFile("five.txt"), "12345");
    EXPECT_EQ(ReadWholeFile("five.txt", 5), "12345");
    try {
        (void)ReadWholeFile("five.txt", 4);
        FAIL() << "read a file larger than its limit";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, "five.txt");
        EXPECT_STREQ(e.what(), "Could not read \"five.txt\": it is larger than 4 bytes, more than "
                               "such a file ever holds.");
    }
    WriteBytes("big.bin", Pattern(2 * 1024 * 1024 + 1));
    EXPECT_EQ(ReadWholeFile("big.bin", 2 * 1024 * 1024 + 1), Pattern(2 * 1024 * 1024 + 1));
    try {
        (void)ReadWholeFile("big.bin", 2 * 1024 * 1024);
        FAIL() << "read a file larger than its limit";
    } catch (const CFileException& e) {
        EXPECT_NE(std::string(e.what()).find("larger than 2 MB"), std::string::npos) << e.what();
    }

    // A file that grows between the open and the read (the hook runs just before the read) is
    // read to its end, by one byte, a chunk and more, within the limit.
    for (const std::size_t nGrowth : {std::size_t{1}, std::size_t{4096}, std::size_t{10000}}) {
        const auto growing = [nGrowth] {
            WriteBytes("grows.txt", "12345");
            SetFileFaultHook([nGrowth, bGrown = false](FileOp op, const std::string&) mutable {
                if (op == FileOp::Read && !std::exchange(bGrown, true))
                    WriteBytes("grows.txt", "12345" + Pattern(nGrowth));
                return false;
            });
        };
        growing();
        EXPECT_EQ(ReadWholeFile("grows.txt", 5 + nGrowth), "12345" + Pattern(nGrowth));
        growing();
        EXPECT_THROW((void)ReadWholeFile("grows.txt", 4 + nGrowth), CFileException) << nGrowth;
    }
}

TEST_F(FileTest, FailuresNameTheFileAndTheCause) {
    std::filesystem::create_directory("data");
    try {
        CFile file("data\\missing.txt", CFile::modeRead);
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
    EXPECT_THROW(CFile("folder", CFile::modeRead), CFileException);
    EXPECT_THROW(CFile("folder", CFile::modeCreateNew), CFileException);
    EXPECT_THROW(CFile("nowhere\\new.txt", CFile::modeCreateNew), CFileException);

    WriteBytes("in.txt", "x");
    CFile reading("in.txt", CFile::modeRead);
    EXPECT_THROW(reading.Write("y", 1), CFileException);
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
    const CFileException eWrite(CFileException::genericException, 28, "b.txt", "write to",
                                "No space left on device");
    EXPECT_STREQ(eWrite.what(), "Could not write to \"b.txt\": No space left on device.");
}

TEST_F(FileTest, FaultHookFailsOperationsWithoutTouchingTheDisk) {
    int nWrites = 0;
    SetFileFaultHook([&](FileOp op, const std::string& strPath) {
        return op == FileOp::Write && strPath == "out.txt" && ++nWrites == 3;
    });
    CFile out("out.txt", CFile::modeCreateNew);
    out.Write("one", 3);
    out.Write("two", 3);
    try {
        out.Write("three", 5);
        FAIL() << "third write succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::hardIO);
        EXPECT_EQ(e.m_strFileName, "out.txt");
        EXPECT_NE(std::string(e.what()).find("out.txt"), std::string::npos);
    }
    out.Close();
    EXPECT_EQ(ReadBytes("out.txt"), "onetwo");

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Read; });
    CFile in("out.txt", CFile::modeRead);
    char c;
    EXPECT_THROW(in.Read(&c, 1), CFileException);
    SetFileFaultHook({});
    ASSERT_EQ(in.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'o') << "the failed read moved on";

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Open; });
    EXPECT_FALSE(CFile::Exists("out.txt"));

    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Close; });
    EXPECT_THROW(in.Close(), CFileException);
    EXPECT_FALSE(in.IsOpen());

    SetFileFaultHook([](FileOp op, const std::string&) {
        return op == FileOp::Rename || op == FileOp::Remove || op == FileOp::Create;
    });
    EXPECT_THROW(CFile::Move("out.txt", "moved.txt", ExistingFile::Refuse), CFileException);
    EXPECT_THROW(CFile::Move("out.txt", "moved.txt", ExistingFile::Replace), CFileException);
    EXPECT_THROW(CFile::Remove("out.txt"), CFileException);
    EXPECT_THROW(CFile("new.txt", CFile::modeCreateNew), CFileException);
    SetFileFaultHook({});
    EXPECT_EQ(ReadBytes("out.txt"), "onetwo");
    EXPECT_FALSE(std::filesystem::exists("moved.txt"));
    EXPECT_FALSE(std::filesystem::exists("new.txt"));
}

} // namespace
