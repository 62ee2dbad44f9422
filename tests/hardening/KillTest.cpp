// The process killed at random moments while it saves a large opponent list: afterwards the list
// is always exactly the old bytes or the new ones, and the next save still works.

#include "opponents/OpponentWriter.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

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
TEST_F(KillTest, KilledWhileSavingLeavesOldOrNewList) {
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

TEST_F(KillTest, KilledWhileSavingLeavesOldOrNewList) {
    constexpr int kKills = 50;
    std::filesystem::create_directory("data");
    // Two contents of different lengths, so that a mix of them could not pass for either.
    const auto apA = ManyRecords("Alpha ", 2000);
    const auto apB = ManyRecords("Beta car ", 2000);
    WriteOpponentList(apB);
    const std::string strB = ReadBytes(kListFile);
    const auto start = std::chrono::steady_clock::now();
    WriteOpponentList(apA);
    const auto oneSave = std::chrono::steady_clock::now() - start;
    const std::string strA = ReadBytes(kListFile);
    ASSERT_NE(strA.size(), strB.size());

    std::mt19937 random(20261208);
    // Delays up to three saves long reach every phase: start-up, writing, flushing, replacing.
    const auto nMaxMicros = std::max<long long>(
        2000, 3 * std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count());
    std::uniform_int_distribution<long long> delay(0, nMaxMicros);
    int nOld = 0;
    int nNew = 0;
    int nMidway = 0; // kills that left the temporary file: the save was under way
    for (int nKill = 0; nKill < kKills; ++nKill) {
        const std::string strBefore = ReadBytes(kListFile);
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            for (bool bA = strBefore != strA;; bA = !bA) {
                try {
                    WriteOpponentList(bA ? apA : apB);
                } catch (...) {
                    _exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(pid, SIGKILL);
        int nStatus = 0;
        ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(nStatus)) << "the saving child failed on its own";

        const std::string strAfter = ReadBytes(kListFile);
        ASSERT_TRUE(strAfter == strA || strAfter == strB)
            << "kill " << nKill << " left a list of " << strAfter.size() << " bytes";
        (strAfter == strBefore ? nOld : nNew) += 1;
        nMidway += support::FolderNames("data").size() > 1 ? 1 : 0;
    }
    std::cout << "[ kills    ] " << kKills << " kills: " << nOld << " left the list before the "
              << "save, " << nNew << " a later one, " << nMidway << " came mid-save\n";

    // A temporary file left by a kill does not stop the next save, which cleans up after itself.
    WriteOpponentList(apB);
    EXPECT_EQ(ReadBytes(kListFile), strB);
    EXPECT_EQ(support::FolderNames("data"), std::vector<std::string>{"opponent.txt"});
}
#endif

} // namespace
