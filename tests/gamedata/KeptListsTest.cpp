// The kept copies of the opponent list: their names, their order, and which of them stay.

#include "gamedata/KeptLists.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using support::ReadBytes;
using support::WriteBytes;

using KeptListsTest = CTempFolderTest;

std::vector<std::string> KeptPaths() {
    std::vector<std::string> astr;
    for (const KeptList& kept : ListKeptLists())
        astr.push_back(kept.m_strPath);
    return astr;
}

TEST_F(KeptListsTest, CopiesAreNamedForTheirTimeAndNeverReplaced) {
    std::filesystem::create_directory("data");
    const KeptListTime time{2026, 3, 7, 9, 5, 1};
    EXPECT_EQ(KeepListCopy("first", time), "data\\backups\\opponent-20260307-090501.txt");
    EXPECT_EQ(KeepListCopy("second", time), "data\\backups\\opponent-20260307-090501-2.txt");
    EXPECT_EQ(KeepListCopy("third", time), "data\\backups\\opponent-20260307-090501-3.txt");
    EXPECT_EQ(ReadBytes("data/backups/opponent-20260307-090501.txt"), "first");
    EXPECT_EQ(ReadBytes("data/backups/opponent-20260307-090501-2.txt"), "second");

    const std::vector<KeptList> aKept = ListKeptLists();
    ASSERT_EQ(aKept.size(), 3u);
    EXPECT_EQ(aKept[0].m_nSequence, 3);
    EXPECT_EQ(aKept[2].m_time, time);
    EXPECT_EQ(aKept[2].m_nSequence, 1);
}

TEST_F(KeptListsTest, ListedNewestFirstAndOnlyNamesOfTheirForm) {
    for (const char* pszName :
         {"opponent-20251231-235959.txt", "opponent-20260101-000000-2.txt",
          "opponent-20260101-000000-10.txt", "OPPONENT-20260101-000000.TXT",
          // Not kept copies: other names, a leftover temporary file, a folder.
          "opponent-20260101-000000-1.txt", "opponent-20260101-000000-02.txt",
          "opponent-20261301-000000.txt", "opponent-2026011-000000.txt", "opponent.txt",
          "notes.txt", "opponent-20260101-000000.txt.new-12-0"})
        WriteBytes(std::string("data/backups/") + pszName, "x");
    std::filesystem::create_directories("data/backups/opponent-20270101-000000.txt");

    EXPECT_EQ(KeptPaths(), (std::vector<std::string>{
                               "data\\backups\\opponent-20260101-000000-10.txt",
                               "data\\backups\\opponent-20260101-000000-2.txt",
                               "data\\backups\\OPPONENT-20260101-000000.TXT",
                               "data\\backups\\opponent-20251231-235959.txt",
                           }));
}

TEST_F(KeptListsTest, PruningKeepsTheNewestAndTheOneJustKept) {
    for (int i = 0; i < 25; ++i)
        WriteBytes("data/backups/" + KeptListName({2026, 1, 1, 12, 0, i}, 1), "x");
    WriteBytes("data/backups/notes.txt", "not a copy");
    // The clock went back: the copy just kept is the oldest by its name, yet the newest.
    const std::string strJustKept = KeepListCopy("just kept", {2001, 1, 1, 0, 0, 0});

    PruneKeptLists(strJustKept);

    const std::vector<std::string> astrKept = KeptPaths();
    ASSERT_EQ(astrKept.size(), kKeptListsKept);
    EXPECT_EQ(astrKept.front(), strJustKept);
    EXPECT_EQ(astrKept[1], "data\\backups\\opponent-20260101-120024.txt");
    EXPECT_EQ(astrKept.back(), "data\\backups\\opponent-20260101-120006.txt");
    EXPECT_EQ(ReadBytes("data/backups/notes.txt"), "not a copy");
}

// Saves whose clock jumps about, after copies of an earlier version named for a later hour.
TEST_F(KeptListsTest, TheCopiesMadeLastStayAndComeFirstWhateverTheClockSays) {
    for (int i = 0; i < 20; ++i)
        WriteBytes("data/backups/" + KeptListName({2026, 10, 25, 2, 59, 30 + i}, 1), "earlier");
    std::vector<std::string> astrMade; // newest first
    for (int i = 0; i < 25; ++i) {
        const std::string strPath = KeepListCopy("save", {2026, 10, 25, 2, 0, (i * 7) % 25});
        PruneKeptLists(strPath);
        if (!astrMade.empty()) {
            ASSERT_TRUE(CFile::Exists(astrMade.front())) << "save " << i << " deleted the last";
        }
        astrMade.insert(astrMade.begin(), strPath);
        ASSERT_EQ(ListKeptLists().size(), kKeptListsKept) << "save " << i;
    }
    astrMade.resize(kKeptListsKept);
    EXPECT_EQ(KeptPaths(), astrMade);
}

TEST_F(KeptListsTest, ADamagedOrderDeletesNothingAndItsUnlistedCopiesStayLongest) {
    std::filesystem::create_directory("data");
    std::vector<std::string> astrMade;
    for (int i = 0; i < static_cast<int>(kKeptListsKept); ++i)
        astrMade.insert(astrMade.begin(), KeepListCopy("x", {2026, 1, 1, 0, 0, 59 - i}));
    const std::string strOrder = std::string("data/backups/") + kKeptListOrderName;
    std::string strBytes = ReadBytes(strOrder);
    strBytes.replace(strBytes.find("opponent-"), 9, "0pponent-"); // garbles the newest line
    WriteBytes(strOrder, strBytes);

    const std::string strNew = KeepListCopy("x", {2026, 1, 1, 0, 0, 0});
    PruneKeptLists(strNew);
    astrMade.insert(astrMade.begin(), strNew);
    EXPECT_EQ(KeptPaths(), astrMade) << "all kept, the one of the garbled line among the newest";

    // The order written then is sound: the next save keeps the twenty made last by it.
    const std::string strNext = KeepListCopy("x", {2026, 1, 1, 0, 0, 0});
    PruneKeptLists(strNext);
    astrMade.insert(astrMade.begin(), strNext);
    astrMade.resize(kKeptListsKept);
    EXPECT_EQ(KeptPaths(), astrMade);
}

TEST_F(KeptListsTest, NoFolderMeansNoCopiesAndAFailedCopyLeavesNothing) {
    EXPECT_TRUE(ListKeptLists().empty());
    // No "data" folder to make the backups in.
    EXPECT_THROW(KeepListCopy("x", {2026, 1, 1, 0, 0, 0}), CFileException);
    EXPECT_FALSE(std::filesystem::exists("data"));
}

} // namespace
