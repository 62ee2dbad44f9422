// Every file operation of every writer, failed in turn: the game's opponent list is the old one or
// the complete new one, never a mix; no temporary file stays; no existing file is lost; the user
// is told whenever the outcome is not the complete new one.

#include "hardening/FaultSweep.h"
#include "gamedata/GameData.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "support/GameFiles.h"
#include "support/MemoryWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace hardening;
using gamefiles::RecordText;
using namespace support;

class FaultSweepTest : public CTempFolderTest {};

std::unique_ptr<CarRecord> Record(const std::string& strName, const std::string& strText) {
    auto pRecord = std::make_unique<CarRecord>();
    pRecord->m_strCarName = strName;
    pRecord->m_strText = strText;
    return pRecord;
}

// A dialog's logic over a loaded game folder.
struct Session {
    Session() {
        core.InitPictures();
        core.Run([&] { core.OnShowWindow(true); });
        EXPECT_TRUE(window.m_aErrors.empty());
        EXPECT_TRUE(core.m_bLoaded);
    }
    std::vector<std::string> Installed() const {
        std::vector<std::string> astr;
        for (int i = 0; i < core.m_nInstalled; ++i)
            astr.push_back(core.m_apInstalled[static_cast<std::size_t>(i)]->m_strCarName);
        return astr;
    }
    std::vector<std::string> Available() const {
        std::vector<std::string> astr;
        for (int i = 0; i < core.m_nAvailable; ++i)
            astr.push_back(core.m_apAvailable[static_cast<std::size_t>(i)]->m_strCarName);
        return astr;
    }
    CMemoryWindow window;
    CInstallerCore core{window};
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

TEST_F(FaultSweepTest, ArchiveStaysIntactUnlessUnpackedWhole) {
    // One entry larger than any copy buffer, so that its data takes several reads and writes.
    std::string strLarge;
    for (int i = 0; strLarge.size() < 200000; ++i)
        strLarge += "line " + std::to_string(i) + "\r\n";
    const std::vector<gamefiles::Entry> aEntries = {{"RACES.TXT", strLarge, {}},
                                                    {"cars.txt", "two cars", {}},
                                                    {"sub\\inner.txt", "inside", {}}};
    const std::string strArchive = gamefiles::Archive(aEntries);

    for (const bool bRetiredBefore : {false, true}) {
        SCOPED_TRACE(bRetiredBefore ? "data.twat exists" : "first unpacking");
        Tree before;
        SweepFaults(
            "UnpackArchive",
            [&] {
                ClearFolder();
                WriteBytes("data.twt", strArchive);
                WriteBytes("data/races.txt", "old races");
                WriteBytes("data/opponent.txt", "1");
                std::filesystem::create_directory("data/sub");
                if (bRetiredBefore)
                    WriteBytes("data.twat", "an earlier archive");
                before = FolderTree();
            },
            [&] { UnpackArchive(); },
            [&](const Fault& fault) {
                EXPECT_FALSE(fault.m_bRaised) << "unpacking reports nothing";
                const Tree after = FolderTree();
                Tree whole = With(before, "data/races.txt", strLarge);
                whole = With(whole, "data/cars.txt", "two cars");
                whole = With(whole, "data/sub/inner.txt", "inside");
                whole = Without(whole, "data.twt");
                if (!bRetiredBefore)
                    whole = With(whole, "data.twat", strArchive);
                if (after.contains("data.twt")) {
                    EXPECT_EQ(after.at("data.twt"), strArchive);
                    // Entries written before the failure may stay (the next start writes them
                    // again), but nothing else may appear or go.
                    for (const auto& [strPath, strBytes] : after)
                        EXPECT_TRUE(before.contains(strPath) || whole.contains(strPath)) << strPath;
                    EXPECT_EQ(after.count("data.twat"), before.count("data.twat"));
                    if (before.contains("data.twat")) {
                        EXPECT_EQ(after.at("data.twat"), before.at("data.twat"));
                    }
                } else {
                    EXPECT_EQ(after, whole) << "a retired archive was unpacked whole";
                }
            });
    }
}

TEST_F(FaultSweepTest, FailedOkKeepsTheListAndTheDialog) {
    const std::string strOld =
        gamefiles::OpponentList({RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP")});
    const std::string strNew = gamefiles::OpponentList(
        {RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP"), RecordText("Moth", "MOTH")});
    std::unique_ptr<Session> pSession;
    Tree before;
    SweepFaults(
        "SaveAndClose",
        [&] {
            pSession.reset();
            ClearFolder();
            WriteBytes("data/opponent.txt", strOld);
            WriteBytes("moth.c2c", RecordText("Moth", "MOTH"));
            pSession = std::make_unique<Session>();
            pSession->window.SetCurSel(IDC_AVAILABLE, 0);
            pSession->core.Run([&] { pSession->core.OnInstall(); });
            before = FolderTree();
        },
        [&] { pSession->core.Run([&] { pSession->core.SaveAndClose(); }); },
        [&](const Fault&) {
            CMemoryWindow& window = pSession->window;
            if (!window.m_aErrors.empty()) {
                EXPECT_EQ(FolderTree(), before);
                EXPECT_TRUE(window.m_aEndResults.empty()) << "the dialog stays open";
                // A second Ok, once the disk is well again, saves.
                pSession->core.Run([&] { pSession->core.SaveAndClose(); });
                EXPECT_EQ(window.m_aErrors.size(), 1u);
            }
            EXPECT_EQ(window.m_aEndResults, std::vector<int>{kDialogCancel});
            EXPECT_EQ(FolderTree(), With(before, "data/opponent.txt", strNew));
        });
}

TEST_F(FaultSweepTest, FailedExportKeepsTheCarInstalled) {
    const std::string strList =
        gamefiles::OpponentList({RecordText("Hornet", "HORNET"), RecordText("Wasp", "WASP")});
    std::unique_ptr<Session> pSession;
    Tree before;
    SweepFaults(
        "OnUninstall",
        [&] {
            pSession.reset();
            ClearFolder();
            WriteBytes("data/opponent.txt", strList);
            // The file an export of Wasp would first think of holds another car.
            WriteBytes("wasp.c2c", RecordText("Moth", "MOTH"));
            pSession = std::make_unique<Session>();
            pSession->window.SetCurSel(IDC_INSTALLED, 1);
            before = FolderTree();
        },
        [&] { pSession->core.Run([&] { pSession->core.OnUninstall(); }); },
        [&](const Fault&) {
            const Session& session = *pSession;
            if (!session.window.m_aErrors.empty()) {
                EXPECT_EQ(FolderTree(), before);
                EXPECT_EQ(session.Installed(), (std::vector<std::string>{"Hornet", "Wasp"}));
                EXPECT_EQ(session.window.Lines(IDC_INSTALLED),
                          (std::vector<std::string>{"Hornet", "Wasp"}));
                EXPECT_EQ(session.Available(), std::vector<std::string>{"Moth"});
            } else {
                EXPECT_EQ(FolderTree(), With(before, "Wasp (2).C2C", RecordText("Wasp", "WASP")));
                EXPECT_EQ(session.Installed(), std::vector<std::string>{"Hornet"});
                EXPECT_EQ(session.Available(), (std::vector<std::string>{"Moth", "Wasp"}));
            }
        });
}

} // namespace
