// The temporary file of every whole-file write is made new: never through a link that a car pack
// could have planted at its name, never over a leftover of an earlier run.

#include "platform/File.h"
#include "platform/FileException.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using support::ReadBytes;
using support::WriteBytes;
namespace fs = std::filesystem;

using WriteWholeFileTest = CTempFolderTest;

fs::path TemporaryPath(int n) {
    std::string str = TemporaryName("data\\opponent.txt", n);
    str.replace(str.find('\\'), 1, "/");
    return str;
}

// Symbolic links need a privilege on Windows; where they cannot be made the hard links still run.
bool TrySymlink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
}

TEST_F(WriteWholeFileTest, TemporaryFileNeverFollowsALinkNorReusesALeftover) {
    WriteBytes("outside.txt", "outside");
    WriteBytes("data/opponent.txt", "old list");
    // The fixed name of earlier versions, then the first names this process would try.
    const bool bSymlinks = TrySymlink("../outside.txt", "data/opponent.txt.new");
    if (bSymlinks) {
        ASSERT_TRUE(TrySymlink("../outside.txt", TemporaryPath(0)));
        ASSERT_TRUE(TrySymlink("../nowhere.txt", TemporaryPath(1))); // dangling
    } else {
        WriteBytes(TemporaryPath(0), "leftover 0");
        WriteBytes(TemporaryPath(1), "leftover 1");
    }
    fs::create_hard_link("outside.txt", TemporaryPath(2));
    WriteBytes(TemporaryPath(3), "leftover of a killed save");

    WriteWholeFile("data\\opponent.txt", "new list", ExistingFile::Replace);

    EXPECT_EQ(ReadBytes("data/opponent.txt"), "new list");
    EXPECT_EQ(ReadBytes("outside.txt"), "outside");
    EXPECT_FALSE(fs::exists("nowhere.txt"));
    EXPECT_EQ(ReadBytes(TemporaryPath(3)), "leftover of a killed save");
    for (int n = 0; n < 4; ++n)
        EXPECT_TRUE(fs::exists(fs::symlink_status(TemporaryPath(n)))) << "left as found: " << n;
    EXPECT_FALSE(fs::exists(TemporaryPath(4))) << "the one made was moved into place";
}

TEST_F(WriteWholeFileTest, CreatingNewRefusesWhateverStandsThere) {
    WriteBytes("taken.txt", "mine");
    fs::create_directory("folder");
    for (const char* pszName : {"taken.txt", "TAKEN.TXT", "folder"}) {
        SCOPED_TRACE(pszName);
        EXPECT_TRUE(CFile::EntryExists(pszName));
        CFile file;
        EXPECT_THROW(file.Open(pszName, CFile::modeCreateNew), CFileException);
    }
    EXPECT_EQ(ReadBytes("taken.txt"), "mine");
    EXPECT_FALSE(CFile::EntryExists("free.txt"));
    {
        CFile file("free.txt", CFile::modeCreateNew);
        file.Write("new", 3);
        file.Close();
    }
    EXPECT_EQ(ReadBytes("free.txt"), "new");
}

TEST_F(WriteWholeFileTest, ReadOnlyIsTheAttributeOrMissingWritePermission) {
    WriteBytes("list.txt", "x");
    EXPECT_FALSE(CFile::IsReadOnly("list.txt"));
    support::SetReadOnly("list.txt", true);
    EXPECT_TRUE(CFile::IsReadOnly("list.txt"));
    EXPECT_TRUE(CFile::IsReadOnly("LIST.TXT"));
    support::SetReadOnly("list.txt", false);
    EXPECT_FALSE(CFile::IsReadOnly("list.txt"));
    EXPECT_FALSE(CFile::IsReadOnly("missing.txt"));
}

} // namespace
