#include "platform/File.h"
#include "platform/FileException.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using NameTest = CTempFolderTest;
using support::ReadBytes;
using support::WriteBytes;

std::string ReadWhole(const std::string& strPath) {
    CFile file(strPath, CFile::modeRead);
    std::string str(static_cast<std::size_t>(file.GetLength()), '\0');
    str.resize(file.Read(str.data(), str.size()));
    return str;
}

void WriteWhole(const std::string& strPath, const std::string& strContent) {
    WriteWholeFile(strPath, strContent, ExistingFile::Replace);
}

std::vector<std::string> Listing() {
    std::vector<std::string> aNames;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        aNames.push_back(entry.path().filename().string());
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

TEST_F(NameTest, ExistsAndRemove) {
    EXPECT_FALSE(CFile::Exists("a.txt"));
    WriteWhole("a.txt", "1");
    EXPECT_TRUE(CFile::Exists("a.txt"));
    std::filesystem::create_directory("folder");
    EXPECT_FALSE(CFile::Exists("folder"));

    CFile::Remove("a.txt");
    EXPECT_FALSE(std::filesystem::exists("a.txt"));
    try {
        CFile::Remove("a.txt");
        FAIL() << "removed a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, "a.txt");
    }
    EXPECT_THROW(CFile::Remove("folder"), CFileException);
    EXPECT_TRUE(std::filesystem::is_directory("folder"));
}

TEST_F(NameTest, RenameRefusesAnExistingTargetReplaceDoesNot) {
    WriteBytes("old.txt", "old");
    CFile::Move("old.txt", "new.txt", ExistingFile::Refuse);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"new.txt"}));

    WriteBytes("other.txt", "other");
    EXPECT_THROW(CFile::Move("new.txt", "other.txt", ExistingFile::Refuse), CFileException);
    EXPECT_THROW(CFile::Move("new.txt", "OTHER.TXT", ExistingFile::Refuse), CFileException);
    EXPECT_THROW(CFile::Move("missing.txt", "fresh.txt", ExistingFile::Refuse), CFileException);
    EXPECT_EQ(ReadBytes("new.txt"), "old");
    EXPECT_EQ(ReadBytes("other.txt"), "other");

    CFile::Move("new.txt", "other.txt", ExistingFile::Replace);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"other.txt"}));
    EXPECT_EQ(ReadWhole("other.txt"), "old");
    CFile::Move("other.txt", "last.txt", ExistingFile::Replace);
    EXPECT_EQ(Listing(), (std::vector<std::string>{"last.txt"}));
}

// Windows itself ignores case; these check the mapping the Linux build does.
TEST_F(NameTest, NamesMatchWithoutRegardToCase) {
#ifdef _WIN32
    GTEST_SKIP() << "the system ignores case itself";
#else
    std::filesystem::create_directory("data");
    WriteBytes("data/opponent.txt", "list");
    EXPECT_EQ(ReadWhole("DATA\\Opponent.TXT"), "list");
    EXPECT_EQ(ReadWhole("data/opponent.txt"), "list");

    // A new file keeps its spelling, in the folder under its real name; an existing one is reused.
    WriteWhole("Data\\OPPONENT.OLD", "backup");
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), "backup");
    EXPECT_TRUE(CFile::Exists("data\\opponent.old"));
    WriteWhole("DATA\\OPPONENT.TXT", "new list");
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "new list");
    EXPECT_FALSE(std::filesystem::exists("data/OPPONENT.TXT"));

    // With several spellings, the exact one wins, else the first in byte order.
    WriteBytes("a.txt", "lower");
    WriteBytes("A.txt", "mixed");
    WriteBytes("A.TXT", "upper");
    EXPECT_EQ(ReadWhole("A.txt"), "mixed");
    EXPECT_EQ(ReadWhole("a.TXT"), "upper");
    CFile::Remove("a.Txt");
    EXPECT_FALSE(std::filesystem::exists("A.TXT"));

    // Renaming acts on the existing source; the target keeps its spelling.
    CFile::Move("DATA\\Opponent.Old", "data\\Backup.OLD", ExistingFile::Refuse);
    EXPECT_EQ(ReadBytes("data/Backup.OLD"), "backup");
    CFile::Move("data\\backup.old", "DATA\\BACKUP.OLD",
                ExistingFile::Refuse); // a change of case only
    EXPECT_EQ(ReadBytes("data/BACKUP.OLD"), "backup");
    CFile::Move("DATA\\BACKUP.old", "data\\OPPONENT.txt", ExistingFile::Replace);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "backup");
    EXPECT_FALSE(std::filesystem::exists("data/BACKUP.OLD"));
#endif
}

struct Found {
    std::string strName;
    bool bDirectory;
    bool operator==(const Found&) const = default;
};

std::vector<Found> Search(const std::string& strPattern) {
    std::vector<Found> aFound;
    for (const FolderEntry& entry : FindFiles(strPattern))
        aFound.push_back({entry.strName, entry.bDirectory});
    return aFound;
}

TEST_F(NameTest, ListingScopeSeesTheLayersOwnChanges) {
    std::filesystem::create_directory("data");
    WriteBytes("data/Car.txt", "1");
    const CFolderListingScope listings;
    EXPECT_TRUE(CFile::Exists("DATA\\CAR.TXT"));
    EXPECT_FALSE(CFile::Exists("data\\other.txt"));
    try {
        CFile missing("Data\\Other.txt", CFile::modeRead);
        FAIL() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, "Data\\Other.txt");
    }
    // A file made, renamed or removed through the layer is seen at once in another case.
    WriteWhole("data\\Other.txt", "2");
    EXPECT_EQ(ReadWhole("DATA\\OTHER.TXT"), "2");
    CFile::Move("data\\other.TXT", "data\\Third.txt", ExistingFile::Refuse);
    EXPECT_FALSE(CFile::Exists("data\\OTHER.txt"));
    EXPECT_EQ(ReadWhole("data\\THIRD.TXT"), "2");
    CFile::Remove("data\\car.txt");
    EXPECT_FALSE(CFile::Exists("data\\CAR.TXT"));
}

TEST_F(NameTest, FindMatchesPatternsWithoutRegardToCase) {
    for (const char* pszName : {"b.c2c", "A.C2C", "Z.c2c", "a2.C2C", "c.txt", "car.c2c.bak"})
        WriteBytes(pszName, "x");
    std::filesystem::create_directory("x.c2c");
    std::filesystem::create_directory("Data");
    WriteBytes("Data/Opponent.txt", "x");

    EXPECT_EQ(Search("*.c2c"), (std::vector<Found>{{"A.C2C", false},
                                                   {"a2.C2C", false},
                                                   {"b.c2c", false},
                                                   {"x.c2c", true},
                                                   {"Z.c2c", false}}));
    EXPECT_EQ(Search("?.C2C"),
              (std::vector<Found>{
                  {"A.C2C", false}, {"b.c2c", false}, {"x.c2c", true}, {"Z.c2c", false}}));
    EXPECT_EQ(Search("data\\*.TXT"), (std::vector<Found>{{"Opponent.txt", false}}));
    EXPECT_EQ(Search("*").size(), 8u); // no "." or ".."
    EXPECT_TRUE(Search("*.pix").empty());
    EXPECT_TRUE(Search("nowhere\\*").empty());
    EXPECT_TRUE(Search("*.none").empty());
}

} // namespace
