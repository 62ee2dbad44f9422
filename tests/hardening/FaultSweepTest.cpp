// Every file operation of every writer, failed in turn: the game's opponent list is the old one or
// the complete new one, never a mix; no temporary file stays; no existing file is lost; the user
// is told whenever the outcome is not the complete new one.

#include "hardening/FaultSweep.h"
#include "gamedata/GameData.h"
#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace hardening;
using gamefiles::RecordText;
using namespace support;

class FaultSweepTest : public CTempFolderTest {};

// TemporaryName's file as this test's folder tree spells it.
std::string TemporaryPath(const std::string& strPath, int n) {
    std::string str = TemporaryName(strPath, n);
    std::replace(str.begin(), str.end(), '\\', '/');
    return str;
}

std::unique_ptr<CarRecord> Record(const std::string& strName, const std::string& strText) {
    auto pRecord = std::make_unique<CarRecord>();
    pRecord->m_strCarName = strName;
    pRecord->m_strText = strText;
    return pRecord;
}

// The installer's model over a loaded game folder.
struct Session {
    Session() {
        core.Apply(command::Load{});
        EXPECT_TRUE(window.m_astrErrors.empty());
        EXPECT_TRUE(core.IsLoaded());
    }
    CTestWindow window;
    CTestPictures pictures;
    CInstallerCore core{window, pictures};
};

TEST_F(FaultSweepTest, OpponentListIsOldOrCompleteNew) {
    const std::string strOld =
        gamefiles::OpponentList({RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP")});
    std::vector<std::unique_ptr<CarRecord>> apNew;
    std::vector<std::string> astrNew;
    for (const char* pszName : {"Moth", "Hornet", "Gnat"}) {
        astrNew.push_back(RecordText(pszName, pszName));
        apNew.push_back(Record(pszName, astrNew.back()));
    }
    const std::string strNew = gamefiles::OpponentList(astrNew);

    for (const bool bFirstEver : {false, true}) {
        SCOPED_TRACE(bFirstEver ? "no list before" : "over the old list");
        Tree before;
        SweepFaults(
            "WriteOpponentList",
            [&] {
                ClearFolder();
                std::filesystem::create_directory("data");
                if (!bFirstEver)
                    WriteBytes("data/opponent.txt", strOld);
                WriteBytes("data/races.txt", "untouched");
                // A killed earlier save of the same process number: never used, never removed.
                WriteBytes(TemporaryPath("data\\opponent.txt", 0), "leftover");
                before = FolderTree();
            },
            [&] { WriteOpponentList(apNew); },
            [&](const Fault& fault) {
                if (fault.m_bRaised)
                    EXPECT_EQ(FolderTree(), before);
                else
                    EXPECT_EQ(FolderTree(), With(before, "data/opponent.txt", strNew));
            });
    }
}

TEST_F(FaultSweepTest, CarFileIsCompleteOrAbsentAndNoOtherChanges) {
    const auto pRecord = Record("Hornet", RecordText("Hornet", "HORNET"));
    Tree before;
    SweepFaults(
        "WriteCarFile",
        [&] {
            ClearFolder();
            // Another car already took the name; the export must go beside it.
            WriteBytes("HORNET.C2C", RecordText("Moth", "MOTH"));
            WriteBytes("data/opponent.txt", "1");
            before = FolderTree();
        },
        [&] { WriteCarFile(*pRecord); },
        [&](const Fault& fault) {
            if (fault.m_bRaised)
                EXPECT_EQ(FolderTree(), before);
            else
                EXPECT_EQ(FolderTree(), With(before, "Hornet (2).C2C", pRecord->m_strText));
        });
}

TEST_F(FaultSweepTest, BackupIsCompleteOrAbsentAndNeverReplaced) {
    const std::string strList = gamefiles::OpponentList({RecordText("Hornet", "HORNET")});
    for (const bool bTaken : {false, true}) {
        SCOPED_TRACE(bTaken ? "backup taken before" : "first backup");
        Tree before;
        SweepFaults(
            "BackupOpponentList",
            [&] {
                ClearFolder();
                WriteBytes("data/opponent.txt", strList);
                if (bTaken)
                    WriteBytes("data/opponent.old", "the list as the game shipped it");
                before = FolderTree();
            },
            [&] { BackupOpponentList(); },
            [&](const Fault& fault) {
                if (fault.m_bRaised || bTaken)
                    EXPECT_EQ(FolderTree(), before);
                else
                    EXPECT_EQ(FolderTree(), With(before, "data/OPPONENT.OLD", strList));
            });
    }
}

TEST_F(FaultSweepTest, ArchiveIsUnpackedWholeOrNotAtAll) {
    // One entry larger than any copy buffer, so that its data takes several reads and writes.
    std::string strLarge;
    for (int i = 0; strLarge.size() < 200000; ++i)
        strLarge += "line " + std::to_string(i) + "\r\n";
    const std::vector<gamefiles::Entry> aEntries = {{"CARS.TXT", strLarge, {}},
                                                    {"races.txt", "the archive's races", {}},
                                                    {"tracks.txt", "two tracks", {}},
                                                    {"sub\\inner.txt", "inside", {}}};
    const std::string strArchive = gamefiles::Archive(aEntries);

    for (const bool bRetiredBefore : {false, true}) {
        SCOPED_TRACE(bRetiredBefore ? "data.twat exists" : "first unpacking");
        Tree before;
        std::size_t nTold = 0;
        SweepFaults(
            "UnpackArchive",
            [&] {
                ClearFolder();
                WriteBytes("data.twt", strArchive);
                WriteBytes("data/RACES.TXT", "the player's races"); // newer than the archive
                WriteBytes("data/opponent.txt", "1");
                std::filesystem::create_directory("data/sub");
                if (bRetiredBefore)
                    WriteBytes("data.twat", "an earlier archive");
                before = FolderTree();
            },
            [&] {
                const std::string strProblem = UnpackArchive();
                if (!strProblem.empty()) {
                    ++nTold;
                    EXPECT_TRUE(strProblem.starts_with("The game's data archive data.twt "));
                }
                EXPECT_EQ(strProblem.empty(), !std::filesystem::exists("data.twt"))
                    << "told exactly when the archive stays";
            },
            [&](const Fault& fault) {
                EXPECT_FALSE(fault.m_bRaised) << "unpacking raises nothing";
                Tree unpacked = With(before, "data/CARS.TXT", strLarge);
                unpacked = With(unpacked, "data/tracks.txt", "two tracks");
                unpacked = With(unpacked, "data/sub/inner.txt", "inside");
                Tree retired = Without(unpacked, "data.twt");
                if (!bRetiredBefore)
                    retired = With(retired, "data.twat", strArchive);
                const Tree after = FolderTree();
                // Untouched, or unpacked whole with the archive still to retire, or done.
                EXPECT_TRUE(after == before || after == unpacked || after == retired)
                    << "a fragment or a lost file";
            });
        EXPECT_GT(nTold, 0u);
    }
}

TEST_F(FaultSweepTest, FailedOkKeepsTheListTheKeptCopiesAndTheDialog) {
    const std::string strOld =
        gamefiles::OpponentList({RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP")});
    const std::string strNew = gamefiles::OpponentList(
        {RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP"), RecordText("Moth", "MOTH")});
    const auto IsKeptCopy = [](const std::string& strPath) {
        return strPath.starts_with("data/backups/opponent-");
    };
    // The tree without the kept copies, their order and the folder, which an early fault may
    // leave.
    const std::string strOrder = std::string("data/backups/") + kKeptListOrderName;
    const auto Rest = [&](const Tree& tree) {
        Tree rest;
        for (const auto& [strPath, strBytes] : tree)
            if (!IsKeptCopy(strPath) && strPath != "data/backups/" && strPath != strOrder)
                rest[strPath] = strBytes;
        return rest;
    };
    for (const bool bKeptBefore : {false, true}) {
        SCOPED_TRACE(bKeptBefore ? "twenty copies kept before" : "no copy kept yet");
        std::unique_ptr<Session> pSession;
        Tree before;
        bool bClosed = false;
        SweepFaults(
            "SaveAndClose",
            [&] {
                pSession.reset();
                ClearFolder();
                WriteBytes("data/opponent.txt", strOld);
                WriteBytes("moth.c2c", RecordText("Moth", "MOTH"));
                if (bKeptBefore)
                    for (int i = 0; i < static_cast<int>(kKeptListsKept); ++i)
                        WriteBytes("data/backups/" + KeptListName({2020, 1, 1, 0, 0, i}, 1),
                                   "kept " + std::to_string(i));
                pSession = std::make_unique<Session>();
                pSession->core.Apply(command::Select{CarList::Available, 0});
                pSession->core.Apply(command::Install{});
                before = FolderTree();
            },
            [&] {
                bClosed = false;
                bClosed = pSession->core.SaveAndClose();
            },
            [&](const Fault& fault) {
                const std::vector<std::string>& astrErrors = pSession->window.m_astrErrors;
                if (!bClosed) {
                    EXPECT_TRUE(fault.m_bRaised || !astrErrors.empty()) << "a silent failure";
                    EXPECT_EQ(Rest(FolderTree()), Rest(before));
                    for (const auto& [strPath, strBytes] : FolderTree())
                        if (IsKeptCopy(strPath)) {
                            EXPECT_EQ(before.at(strPath), strBytes) << "only the old copies";
                        }
                    // A second Ok, once the disk is well again, saves.
                    EXPECT_TRUE(pSession->core.SaveAndClose());
                }
                EXPECT_EQ(astrErrors.size(), bClosed || fault.m_bRaised ? 0u : 1u);
                EXPECT_TRUE(pSession->window.m_astrQuestions.empty());
                const Tree after = FolderTree();
                EXPECT_EQ(Rest(after), With(Rest(before), "data/opponent.txt", strNew));
                // One new copy holds the replaced list; of the old ones only the oldest may go.
                std::size_t nNew = 0;
                for (const auto& [strPath, strBytes] : after)
                    if (IsKeptCopy(strPath) && !before.contains(strPath)) {
                        ++nNew;
                        EXPECT_EQ(strBytes, strOld);
                    }
                EXPECT_EQ(nNew, 1u);
                for (const auto& [strPath, strBytes] : before)
                    if (IsKeptCopy(strPath) && strPath.find("000000.txt") == std::string::npos) {
                        EXPECT_EQ(after.at(strPath), strBytes);
                    }
            });
    }
}

TEST_F(FaultSweepTest, FailedExportKeepsTheCarInstalled) {
    const std::string strList =
        gamefiles::OpponentList({RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP")});
    std::unique_ptr<Session> pSession;
    Tree before;
    SweepFaults(
        "Uninstall",
        [&] {
            pSession.reset();
            ClearFolder();
            WriteBytes("data/opponent.txt", strList);
            // The file an export of Wasp would first think of holds another car.
            WriteBytes("wasp.c2c", RecordText("Moth", "MOTH"));
            pSession = std::make_unique<Session>();
            pSession->core.Apply(command::Select{CarList::Installed, 1});
            before = FolderTree();
        },
        [&] { pSession->core.Apply(command::Uninstall{}); },
        [&](const Fault& fault) {
            const CInstallerCore& core = pSession->core;
            if (fault.m_bRaised) {
                EXPECT_EQ(FolderTree(), before);
                EXPECT_EQ(Names(core, CarList::Installed),
                          (std::vector<std::string>{"Hornet", "Wasp"}));
                EXPECT_EQ(core.GetSelection(CarList::Installed).nCaret, 1);
                EXPECT_EQ(Names(core, CarList::Available), std::vector<std::string>{"Moth"});
                EXPECT_FALSE(core.CanUndo());
            } else {
                EXPECT_EQ(FolderTree(), With(before, "Wasp (2).C2C", RecordText("Wasp", "WASP")));
                EXPECT_EQ(Names(core, CarList::Installed), std::vector<std::string>{"Hornet"});
                EXPECT_EQ(Names(core, CarList::Available),
                          (std::vector<std::string>{"Moth", "Wasp"}));
            }
        });
}

} // namespace
