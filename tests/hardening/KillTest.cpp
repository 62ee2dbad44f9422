// The process killed at random moments while it saves a large opponent list or unpacks the game's
// archive: afterwards the list is always exactly the old bytes or the new ones, every kept copy is
// whole and none is lost, no unpacked file is a fragment, and the next run still works.

#include "gamedata/GameData.h"
#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <thread>
#include <tuple>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using support::ReadBytes;

constexpr const char* kListFile = "data/opponent.txt"; // the opponent list, as this test reads it

class KillTest : public CTempFolderTest {};

#ifdef _WIN32
TEST_F(KillTest, KilledWhileSavingLeavesOldOrNewListAndEveryKeptCopy) {
    GTEST_SKIP() << "needs fork";
}
#else
std::vector<std::unique_ptr<CarRecord>> ManyRecords(const std::string& strPrefix, int nCount) {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    for (int i = 0; i < nCount; ++i) {
        auto pRecord = std::make_unique<CarRecord>();
        pRecord->m_strCarName = strPrefix + std::to_string(i);
        pRecord->m_strText = gamefiles::RecordText(pRecord->m_strCarName, "CAR" + std::to_string(i),
                                                   strPrefix + " description " + std::to_string(i));
        apRecords.push_back(std::move(pRecord));
    }
    return apRecords;
}

// The names in a folder that are not leftovers of killed saves' temporary files.
std::vector<std::string> NamesBesideLeftovers(const std::string& strFolder) {
    std::vector<std::string> astr;
    for (const std::string& strName : support::FolderNames(strFolder))
        if (strName.find(".new-") == std::string::npos)
            astr.push_back(strName);
    return astr;
}

// The kept copies: name -> bytes.
std::map<std::string, std::string> KeptCopies() {
    std::map<std::string, std::string> map;
    for (const KeptList& kept : ListKeptLists())
        map[kept.m_strPath] = ReadBytes(std::filesystem::path("data/backups") /
                                        kept.m_strPath.substr(kept.m_strPath.rfind('\\') + 1));
    return map;
}

TEST_F(KillTest, KilledWhileSavingLeavesOldOrNewListAndEveryKeptCopy) {
    constexpr int kKills = 30;
    std::filesystem::create_directory("data");
    // Two contents of different lengths, so that a mix of them could not pass for either.
    const auto apA = ManyRecords("Alpha ", 500);
    const auto apB = ManyRecords("Beta car ", 500);
    WriteOpponentList(apB);
    const std::string strB = ReadBytes(kListFile);
    const auto start = std::chrono::steady_clock::now();
    WriteOpponentList(apA);
    const auto oneSave = std::chrono::steady_clock::now() - start;
    const std::string strA = ReadBytes(kListFile);
    ASSERT_NE(strA.size(), strB.size());

    // The first load takes the game's backup, so that no kill meets that write.
    CTestWindow window;
    CTestPictures pictures;
    CInstallerCore(window, pictures).Apply(command::Load{});
    ASSERT_EQ(window.m_astrErrors, std::vector<std::string>{});

    // Ok as the dialog runs it, over and over, switching between the two lists.
    const auto saveForever = [&](bool bA) {
        CInstallerCore core(window, pictures);
        core.Apply(command::Load{});
        for (;; bA = !bA) {
            command::Restore restore;
            for (const auto& pRecord : bA ? apA : apB)
                restore.apRecords.push_back(std::make_unique<CarRecord>(*pRecord));
            core.Apply(std::move(restore));
            try {
                if (!core.SaveAndClose())
                    _exit(3);
            } catch (...) {
                _exit(3);
            }
            if (!window.m_astrErrors.empty() || !window.m_astrQuestions.empty())
                _exit(3);
        }
    };

    std::mt19937 random(20261208);
    // An Ok reads, keeps a copy and writes: delays up to eight list writes long reach every
    // phase of it, from start-up through keeping the copy, writing, replacing and pruning.
    const auto nMaxMicros = std::max<long long>(
        2000, 8 * std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count());
    std::uniform_int_distribution<long long> delay(0, nMaxMicros);
    int nOld = 0;
    int nNew = 0;
    int nMidway = 0; // kills that left a temporary file: a write was under way
    for (int nKill = 0; nKill < kKills; ++nKill) {
        const std::string strBefore = ReadBytes(kListFile);
        const std::map<std::string, std::string> mapKeptBefore = KeptCopies();
        const std::vector<KeptList> aKeptBefore = ListKeptLists();
        const std::size_t nFilesBefore = support::FolderNames("data").size();
        // The delay counts from when the child runs: on a busy machine a fork can take longer to
        // be scheduled than the whole delay, and no kill would reach a save.
        int aReady[2];
        ASSERT_EQ(pipe(aReady), 0);
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            (void)!write(aReady[1], "r", 1);
            saveForever(strBefore != strA);
        }
        char cReady = 0;
        ASSERT_EQ(read(aReady[0], &cReady, 1), 1);
        close(aReady[0]);
        close(aReady[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(pid, SIGKILL);
        int nStatus = 0;
        ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(nStatus)) << "the saving child failed on its own";

        const std::string strAfter = ReadBytes(kListFile);
        ASSERT_TRUE(strAfter == strA || strAfter == strB)
            << "kill " << nKill << " left a list of " << strAfter.size() << " bytes";
        (strAfter == strBefore ? nOld : nNew) += 1;
        nMidway += support::FolderNames("data").size() > nFilesBefore ? 1 : 0;

        // Every copy is whole; one that went had twenty newer ones.
        const std::map<std::string, std::string> mapKeptAfter = KeptCopies();
        for (const auto& [strPath, strBytes] : mapKeptAfter)
            ASSERT_TRUE(strBytes == strA || strBytes == strB)
                << "kill " << nKill << ": " << strPath;
        const std::vector<KeptList> aAfter = ListKeptLists();
        for (const KeptList& gone : aKeptBefore) {
            if (mapKeptAfter.contains(gone.m_strPath)) {
                ASSERT_EQ(mapKeptAfter.at(gone.m_strPath), mapKeptBefore.at(gone.m_strPath));
                continue;
            }
            const auto nNewer = std::count_if(aAfter.begin(), aAfter.end(), [&](const KeptList& k) {
                return std::tie(k.m_time, k.m_nSequence) > std::tie(gone.m_time, gone.m_nSequence);
            });
            ASSERT_GE(nNewer, static_cast<long>(kKeptListsKept))
                << "kill " << nKill << " lost " << gone.m_strPath;
        }
    }
    std::cout << "[ kills    ] " << kKills << " kills: " << nOld << " left the list before the "
              << "save, " << nNew << " a later one, " << nMidway << " came mid-write\n";

    // A temporary file left by a kill is never used, and does not stop the next save.
    WriteOpponentList(apB);
    EXPECT_EQ(ReadBytes(kListFile), strB);
    // The folder of kept copies exists once any killed save got as far as keeping one.
    std::vector<std::string> astrLeft = NamesBesideLeftovers("data");
    std::erase(astrLeft, "backups");
    EXPECT_EQ(astrLeft, (std::vector<std::string>{"OPPONENT.OLD", "opponent.txt"}));
    EXPECT_LE(ListKeptLists().size(), kKeptListsKept + 1);
}

TEST_F(KillTest, TwoCopiesSavingAtOnceNeverMixTheirLists) {
    // Two running copies pressing Ok together: each save is whole, and neither fails the other.
    std::filesystem::create_directory("data");
    const auto apA = ManyRecords("Alpha ", 300);
    const auto apB = ManyRecords("Beta car ", 300);
    WriteOpponentList(apA);
    const std::string strA = ReadBytes(kListFile);
    WriteOpponentList(apB);
    const std::string strB = ReadBytes(kListFile);
    pid_t aPids[2] = {};
    for (int n = 0; n < 2; ++n) {
        aPids[n] = fork();
        ASSERT_NE(aPids[n], -1);
        if (aPids[n] == 0) {
            for (int i = 0; i < 40; ++i) {
                try {
                    WriteOpponentList(n == 0 ? apA : apB);
                } catch (...) {
                    _exit(3);
                }
                const std::string strNow = ReadBytes(kListFile);
                if (strNow != strA && strNow != strB)
                    _exit(4);
            }
            _exit(0);
        }
    }
    for (const pid_t pid : aPids) {
        int nStatus = 0;
        ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
        EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0)
            << "a save failed (3) or a mixed list was seen (4): " << nStatus;
    }
    EXPECT_EQ(support::FolderNames("data"), std::vector<std::string>{"opponent.txt"});
}

TEST_F(KillTest, KilledWhileUnpackingLeavesNoFragment) {
    constexpr int kKills = 12;
    std::vector<gamefiles::Entry> aEntries;
    for (int i = 0; i < 4; ++i)
        aEntries.push_back(
            {"file" + std::to_string(i) + ".bin",
             std::string(100000 + 1000 * static_cast<std::size_t>(i), static_cast<char>('a' + i)),
             {}});
    const std::string strArchive = gamefiles::Archive(aEntries);
    const auto ExpectWholeOrAbsent = [&](int nKill) {
        for (const gamefiles::Entry& entry : aEntries) {
            const std::filesystem::path path = "data/" + entry.m_strName;
            if (std::filesystem::exists(path)) {
                ASSERT_EQ(ReadBytes(path), entry.m_strData) << "kill " << nKill << ": fragment";
            }
        }
    };
    // One unpacking, timed, tells how long the kills may wait.
    support::WriteBytes("data.twt", strArchive);
    std::filesystem::create_directory("data");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(UnpackArchive(), "");
    const auto nMaxMicros =
        std::max<long long>(2000, std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - start)
                                      .count());
    std::mt19937 random(8);
    std::uniform_int_distribution<long long> delay(0, nMaxMicros);
    for (int nKill = 0; nKill < kKills; ++nKill) {
        support::ClearFolder();
        std::filesystem::create_directory("data");
        support::WriteBytes("data.twt", strArchive);
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            (void)UnpackArchive();
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(pid, SIGKILL);
        int nStatus = 0;
        ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
        ExpectWholeOrAbsent(nKill);
        if (std::filesystem::exists("data.twt")) {
            ASSERT_EQ(ReadBytes("data.twt"), strArchive);
        }
        // The next start finishes the work.
        EXPECT_EQ(UnpackArchive(), "");
        ExpectWholeOrAbsent(nKill);
        for (const gamefiles::Entry& entry : aEntries)
            ASSERT_TRUE(std::filesystem::exists("data/" + entry.m_strName));
        ASSERT_EQ(ReadBytes("data.twat"), strArchive);
    }
}
#endif

} // namespace
