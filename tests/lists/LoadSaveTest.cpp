#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "opponents/CarFileReader.h"
#include "platform/File.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/MemoryWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace gamefiles;
using namespace support;

namespace {

using Names = std::vector<std::string>;

class LoadSaveTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directories("data/intrface/carimage");
        m_core.InitPictures();
    }

    void Run(void (CInstallerCore::*handler)()) {
        m_core.Run([&] { (m_core.*handler)(); });
        EXPECT_EQ(m_window.Lines(IDC_INSTALLED), Installed());
        EXPECT_EQ(m_window.Lines(IDC_AVAILABLE), Available());
    }
    void Show(bool bShow) {
        m_core.Run([&] { m_core.OnShowWindow(bShow); });
        EXPECT_EQ(m_window.Lines(IDC_INSTALLED), Installed());
        EXPECT_EQ(m_window.Lines(IDC_AVAILABLE), Available());
    }

    static Names NamesOf(const auto& apList, int nCount) {
        Names aNames;
        for (int i = 0; i < nCount; ++i)
            aNames.push_back(apList[i]->m_strCarName);
        return aNames;
    }
    Names Installed() const { return NamesOf(m_core.m_apInstalled, m_core.m_nInstalled); }
    Names Available() const { return NamesOf(m_core.m_apAvailable, m_core.m_nAvailable); }

    // The car files in the order the directory search gives them.
    static Names SearchOrder() {
        Names aNames;
        CFileFind finder;
        for (bool bMore = finder.FindFile("*.c2c"); bMore; bMore = finder.FindNextFile())
            if (!finder.IsDirectory())
                aNames.push_back(finder.GetFileName());
        return aNames;
    }

    // Checks a load that stopped early: Ok is off, refuses to write, and Can still leaves.
    void ExpectStoppedLoad(const std::string& strListBefore) {
        EXPECT_FALSE(m_window.m_bOkEnabled);
        EXPECT_FALSE(m_window.m_aErrors.empty());
        const std::size_t nErrors = m_window.m_aErrors.size();
        Run(&CInstallerCore::SaveAndClose);
        EXPECT_EQ(m_window.m_aErrors.size(), nErrors + 1) << "Ok tells why it writes nothing";
        EXPECT_TRUE(m_window.m_aEndResults.empty());
        EXPECT_EQ(ReadBytes("data/opponent.txt"), strListBefore);
        Run(&CInstallerCore::OnCan);
        EXPECT_EQ(m_window.m_aEndResults, std::vector<int>{kDialogCancel});
    }

    CMemoryWindow m_window;
    CInstallerCore m_core{m_window};
};

TEST_F(LoadSaveTest, LoadsCarFilesInSearchOrderThenTheOpponentList) {
    WriteBytes("zeta.c2c", CarText("Zeta"));
    WriteBytes("Alpha.C2C", CarText("Alpha"));
    WriteBytes("mid.c2c", CarText("Mid"));
    WriteBytes("short.c2c", "Driver\r\n1\r\nShorty\r\n"); // fewer than eleven values: left out
    WriteBytes("notes.txt", CarText("Notes"));
    std::filesystem::create_directories("folder.c2c"); // not a car file
    const std::string strList = OpponentList({CarText("One"), CarText("Two")});
    WriteBytes("data/opponent.txt", strList);

    Show(true);

    Names aFromSearch; // the car name is each file's third line
    for (const std::string& strFile : SearchOrder()) {
        if (strFile == "short.c2c")
            continue;
        const std::string strText = ReadBytes(strFile);
        const std::size_t nStart = strText.find("\r\n", strText.find("\r\n") + 2) + 2;
        aFromSearch.push_back(strText.substr(nStart, strText.find("\r\n", nStart) - nStart));
    }
    EXPECT_EQ(Available(), aFromSearch);
    EXPECT_EQ(Installed(), (Names{"One", "Two"}));
    EXPECT_EQ(m_core.m_apInstalled[1]->m_strText, CarText("Two"));
    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_TRUE(m_window.m_bOkEnabled);
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), -1);
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), -1);
    EXPECT_TRUE(m_window.m_mapInfo.empty());
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strList) << "backup taken";
}

TEST_F(LoadSaveTest, OkWritesTheInstalledListExactly) {
    WriteBytes("hawk.c2c", CarText("Hawk", "HAWK"));
    WriteBytes("data/opponent.txt", OpponentList({CarText("One", "ONE"), CarText("Two")}));
    Show(true);

    m_window.SetCurSel(IDC_AVAILABLE, 0);
    Run(&CInstallerCore::OnInstall);
    Run(&CInstallerCore::OnUp);
    Run(&CInstallerCore::SaveAndClose);

    EXPECT_EQ(ReadBytes("data/opponent.txt"), "3\r\n\r\n"
                                              "// Opponent 0\r\n" +
                                                  CarText("One", "ONE") +
                                                  "\r\n\r\n"
                                                  "// Opponent 1\r\n" +
                                                  CarText("Hawk", "HAWK") +
                                                  "\r\n\r\n"
                                                  "// Opponent 2\r\n" +
                                                  CarText("Two") + "\r\n\r\nEND\r\n");
    EXPECT_EQ(m_window.m_aEndResults, std::vector<int>{kDialogCancel});
    EXPECT_TRUE(m_window.m_aErrors.empty());
}

TEST_F(LoadSaveTest, AnEmptyInstalledListRoundTrips) {
    WriteBytes("data/opponent.txt", OpponentList({}));
    Show(true);
    EXPECT_EQ(m_core.m_nInstalled, 0);
    EXPECT_TRUE(m_window.m_bOkEnabled);

    Run(&CInstallerCore::SaveAndClose);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "0\r\n\r\nEND\r\n");
}

TEST_F(LoadSaveTest, CanAndHidingWriteNothing) {
    WriteBytes("data/opponent.txt", OpponentList({CarText("One")}));
    Show(true);
    m_window.SetCurSel(IDC_INSTALLED, 0);
    Run(&CInstallerCore::OnUninstall); // exports One.C2C, which stays

    Run(&CInstallerCore::OnCan);
    Show(false);

    EXPECT_EQ(m_window.m_aEndResults, std::vector<int>{kDialogCancel});
    EXPECT_EQ(m_core.m_nAvailable, 0);
    EXPECT_EQ(m_core.m_nInstalled, 0);
    EXPECT_FALSE(m_window.m_bOkEnabled) << "an emptied list must not be written";
    Run(&CInstallerCore::SaveAndClose);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), OpponentList({CarText("One")}));
    EXPECT_EQ(ReadBytes("One.C2C"), CarText("One"));
}

TEST_F(LoadSaveTest, MissingOpponentListStopsTheLoad) {
    WriteBytes("hawk.c2c", CarText("Hawk"));
    for (bool bBackup : {false, true}) {
        if (bBackup)
            WriteBytes("data/opponent.old", "an old list");
        m_window.m_aErrors.clear();
        Show(true);
        // Without a backup the load stops at taking it, before any car file is read.
        EXPECT_EQ(Available(), bBackup ? Names{"Hawk"} : Names{});
        EXPECT_FALSE(m_window.m_bOkEnabled);
        ASSERT_EQ(m_window.m_aErrors.size(), 1u);
        const std::string& strError = m_window.m_aErrors[0];
        EXPECT_NE(strError.find("opponent.txt"), std::string::npos) << strError;
        EXPECT_NE(strError.find("installation folder"), std::string::npos) << strError;
        EXPECT_EQ(strError.find("Restore Opponent List") != std::string::npos, bBackup) << strError;
        Run(&CInstallerCore::SaveAndClose);
        EXPECT_FALSE(std::filesystem::exists("data/opponent.txt"));
        EXPECT_TRUE(m_window.m_aEndResults.empty());
    }
}

TEST_F(LoadSaveTest, MissingOpponentListPointsToAKeptCopyOnlyWhenOneCanBeRestored) {
    // Another file in the folder of kept copies is no copy the restore dialog would offer.
    WriteBytes("data/backups/notes.txt", OpponentList({CarText("One")}));
    Show(true);
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_EQ(m_window.m_aErrors[0].find("Restore Opponent List"), std::string::npos)
        << m_window.m_aErrors[0];

    WriteBytes("data/backups/" + KeptListName({2026, 12, 8, 9, 45, 1}, 1),
               OpponentList({CarText("One")}));
    m_window.m_aErrors.clear();
    Show(true);
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_NE(m_window.m_aErrors[0].find("Restore Opponent List"), std::string::npos)
        << m_window.m_aErrors[0];
}

TEST_F(LoadSaveTest, EmptyOpponentListStopsTheLoad) {
    WriteBytes("data/opponent.txt", "\r\n\r\n");
    Show(true);
    ExpectStoppedLoad("\r\n\r\n");
}

// A list that cannot be shown to be whole is never written back; one that can is, unshifted.
TEST_F(LoadSaveTest, OnlyAWholeListIsWrittenBack) {
    const std::string strCommented = "// edited by hand\r\n" + OpponentList({CarText("One")});
    WriteBytes("data/opponent.txt", strCommented);
    Show(true);
    EXPECT_EQ(Installed(), Names{"One"});
    EXPECT_TRUE(m_window.m_bOkEnabled);
    Run(&CInstallerCore::SaveAndClose);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), OpponentList({CarText("One")}));

    const std::string strCut = "3\r\n\r\n" + CarText("One") + CarText("Two") + "Driver\r\n";
    WriteBytes("data/opponent.txt", strCut);
    m_window.m_aEndResults.clear();
    Show(true);
    EXPECT_EQ(Installed(), (Names{"One", "Two"}));
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_NE(m_window.m_aErrors[0].find("Its count promises 3 opponents; 2 were read."),
              std::string::npos)
        << m_window.m_aErrors[0];
    ExpectStoppedLoad(strCut);
}

// Car files that cannot give a car are passed over with their reasons; the other cars and the
// opponent list load, and Ok is offered.
TEST_F(LoadSaveTest, OneBadCarFileNeverBlocksTheLoad) {
    for (const char* szName : {"a", "c", "e"})
        WriteBytes(std::string(szName) + ".c2c", CarText(szName));
    WriteBytes("b.c2c", CarText("Locked"));
    WriteBytes("big.c2c", CarText("Big") + std::string(kMaxCarFileBytes, '\n'));
    WriteBytes("long.c2c", CarText("Long") + "// " + std::string(kMaxLineBytes, 'x') + "\r\n");
    WriteBytes("short.c2c", "Driver\r\n1\r\nShorty\r\n");
    WriteBytes("old.c2c_old", CarText("Old"));
    // Installed, its driver line would end the list written on Ok.
    const std::string strEnder = CarText("Ender");
    WriteBytes("end.c2c", "END // driver\r\n" + strEnder.substr(strEnder.find('\n') + 1));
    std::filesystem::create_directories("folder.c2c");
#ifndef _WIN32
    ASSERT_EQ(mkfifo("pipe.c2c", 0600), 0); // would wait for a writer if opened plainly
#endif
    WriteBytes("data/opponent.txt", OpponentList({CarText("One")}));
    SetFileFaultHook([](FileOp op, const std::string& strPath) {
        return op == FileOp::Open && strPath == "b.c2c";
    });

    Show(true);

    EXPECT_EQ(Available(), (Names{"a", "c", "e"}));
    EXPECT_EQ(Installed(), Names{"One"});
    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_TRUE(m_window.m_bOkEnabled);
    std::map<std::string, std::string> mapPassedOver;
    for (const PassedOverCar& car : m_core.m_aPassedOver)
        mapPassedOver[car.strFileName] = car.strReason;
    std::map<std::string, std::string> mapExpected = {
        {"b.c2c", "could not be opened: simulated failure"},
        {"big.c2c", "1025 KB is too large for a car file"},
        {"end.c2c", "its first value is END, which would end the opponent list it joins"},
        {"folder.c2c", "is a folder, not a file"},
        {"long.c2c", "has a line longer than 65536 bytes"},
        {"short.c2c", "holds 3 of the 11 values a car needs"}};
#ifndef _WIN32
    mapExpected["pipe.c2c"] = "could not be opened: It is a pipe or a device, not a file";
#endif
    EXPECT_EQ(mapPassedOver, mapExpected);

    // The next load starts its own list.
    std::filesystem::remove("big.c2c");
    Show(true);
    EXPECT_EQ(m_core.m_aPassedOver.size(), mapExpected.size() - 1);
}

TEST_F(LoadSaveTest, ShowsOnlyTheFirst2000CarFiles) {
    for (int i = 0; i <= CInstallerCore::kMaxCars; ++i)
        WriteBytes("car" + std::to_string(i) + ".c2c", CarText("Car" + std::to_string(i)));
    WriteBytes("data/opponent.txt", OpponentList({CarText("One")}));

    Show(true);

    EXPECT_EQ(m_core.m_nAvailable, CInstallerCore::kMaxCars);
    EXPECT_EQ(Installed(), Names{"One"});
    EXPECT_EQ(m_window.m_aErrors, Names{"Only the first 2000 add-on cars are listed."});
    EXPECT_TRUE(m_window.m_bOkEnabled) << "the opponent list was read whole";
}

// The window hears of the load between files, with the counts that the lists hold at that moment.
TEST_F(LoadSaveTest, ProgressNamesEachStepBetweenFilesWithCountsOfThousands) {
    struct Step {
        std::string strStep;
        int nDone;
        int nTotal;
        int nAvailable; // cars listed when the step was shown
    };
    struct CProgressWindow : CMemoryWindow {
        void ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) override {
            m_aSteps.push_back({strStep, nDone, nTotal, m_pCore->m_nAvailable});
        }
        const CInstallerCore* m_pCore = nullptr;
        std::vector<Step> m_aSteps;
    };
    constexpr int kCars = 1200;
    for (int i = 0; i < kCars; ++i)
        WriteBytes("car" + std::to_string(i) + ".c2c", CarText("Car" + std::to_string(i)));
    WriteBytes("data/opponent.txt", OpponentList({CarText("One"), CarText("Two")}));
    WriteBytes("data.twt", Archive({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
    constexpr std::size_t kUnpack = 1 + 4; // announced, then before each entry and at the end
    CProgressWindow window;
    CInstallerCore core(window);
    window.m_pCore = &core;
    core.InitPictures();

    core.Run([&] { core.OnShowWindow(true); });

    ASSERT_EQ(core.m_nInstalled, 2);
    const std::vector<Step>& aSteps = window.m_aSteps;
    ASSERT_EQ(aSteps.size(), kUnpack + (kCars + 1) + 1u + 2u);
    for (int i = 0; i < static_cast<int>(kUnpack); ++i) {
        EXPECT_EQ(aSteps[i].strStep, "Unpacking the game's data");
        EXPECT_EQ(aSteps[i].nDone, i == 0 ? 0 : i - 1);
        EXPECT_EQ(aSteps[i].nTotal, i == 0 ? 0 : 3);
    }
    for (int i = 0; i <= kCars; ++i) {
        const Step& step = aSteps[kUnpack + i];
        EXPECT_EQ(step.nDone, i);
        EXPECT_EQ(step.nTotal, kCars);
        EXPECT_EQ(step.nAvailable, i) << "shown between files";
    }
    EXPECT_EQ(aSteps[kUnpack].strStep, "Reading car files: 0 of 1,200");
    EXPECT_EQ(aSteps[kUnpack + 999].strStep, "Reading car files: 999 of 1,200");
    EXPECT_EQ(aSteps[kUnpack + kCars].strStep, "Reading car files: 1,200 of 1,200");
    int nLastDone = 0;
    for (std::size_t i = kUnpack + 1 + kCars; i < aSteps.size(); ++i) {
        EXPECT_EQ(aSteps[i].strStep, "Reading the opponent list");
        EXPECT_GE(aSteps[i].nDone, nLastDone);
        EXPECT_LE(aSteps[i].nDone, aSteps[i].nTotal);
        nLastDone = aSteps[i].nDone;
    }
    EXPECT_GT(nLastDone, 0);
}

TEST_F(LoadSaveTest, AnOversizedOpponentListIsNotWritten) {
    std::vector<std::string> aTexts;
    for (int i = 0; i <= CInstallerCore::kMaxCars; ++i)
        aTexts.push_back(CarText("Car" + std::to_string(i)));
    const std::string strList = OpponentList(aTexts);
    WriteBytes("data/opponent.txt", strList);

    Show(true);

    EXPECT_EQ(m_core.m_nInstalled, CInstallerCore::kMaxCars);
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_NE(m_window.m_aErrors[0].find("more than 2000"), std::string::npos);
    ExpectStoppedLoad(strList);
}

TEST_F(LoadSaveTest, CarsOfOneFileBaseSharePicture) {
    WriteBytes("data/intrface/carimage/EAGLECI.TWT", Archive({}));
    WriteBytes("a.c2c", CarText("A", "EAGLE"));
    WriteBytes("b.c2c", CarText("B", "HAWK")); // no picture
    WriteBytes("data/opponent.txt", OpponentList({CarText("C", "EAGLE")}));

    Show(true);

    EXPECT_EQ(m_window.m_nPictures, 1);
    EXPECT_EQ(m_core.m_apInstalled[0]->m_nImage, 0);
    for (int i = 0; i < m_core.m_nAvailable; ++i)
        EXPECT_EQ(m_core.m_apAvailable[i]->m_nImage,
                  m_core.m_apAvailable[i]->m_strCarName == "A" ? 0 : -1);
}

// One run as a user sees it, in a game folder whose data still lie in the game's archive.
TEST_F(LoadSaveTest, WholeRun) {
    const std::string strGameList = "3\r\n\r\n// Opponent 0\r\n" + CarText("Eagle", "EAGLE") +
                                    "\r\n\r\n// Opponent 1\r\n" + CarText("Hawk", "HAWK") +
                                    "\r\n\r\n// Opponent 2\r\n" + CarText("Kite", "KITE") +
                                    "\r\n\r\nEND\r\n";
    const std::string strEaglePicture =
        Archive({{"PIXIES.P16", Pixies({TileRecord("EAGLEA", TilePixels(0xF8, 0x4C)),
                                        TileRecord("eagleF", TilePixels(1, 2))})}});
    WriteBytes("data.twt", Archive({{"opponent.txt", strGameList},
                                    {"intrface\\carimage\\EAGLECI.TWT", strEaglePicture}}));
    WriteBytes("data/intrface/carimage/FALCCI/PIX16/FALCA.PIX", TileFile(TilePixels(0, 0x33)));
    WriteBytes("falcon.c2c", CarText("Falcon", "FALC"));
    WriteBytes("Hawk.c2c", CarText("Hawk", "HAWK"));

    Show(true);
    ASSERT_TRUE(m_window.m_aErrors.empty()) << m_window.m_aErrors[0];
    EXPECT_TRUE(m_window.m_bOkEnabled);
    EXPECT_TRUE(std::filesystem::exists("data.twat"));
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strGameList);
    EXPECT_EQ(Installed(), (Names{"Eagle", "Hawk", "Kite"}));
    ASSERT_EQ(m_window.m_aPictures.size(), 2u); // the eagle's and the falcon's
    const int nEagle = m_core.m_apInstalled[0]->m_nImage;
    ASSERT_GE(nEagle, 0);
    const std::vector<std::uint8_t>& aEagle =
        m_window.m_aPictures[static_cast<std::size_t>(nEagle)];
    EXPECT_EQ(aEagle[0], 0xC0);
    EXPECT_EQ(aEagle[1], 0x40);
    EXPECT_EQ(aEagle[2], 0x80);
    EXPECT_EQ(aEagle[3 * (192 * 127 + 191) + 1], 0x00) << "tile F green";
    EXPECT_EQ(aEagle[3 * (192 * 127 + 191)], 0x20) << "tile F blue";

    // Install the falcon, move it to the top, drop the hawk (a car file has it) and export the
    // kite (none has it).
    const Names aAvailable = Available();
    const int nFalcon = aAvailable[0] == "Falcon" ? 0 : 1;
    m_window.SetCurSel(IDC_AVAILABLE, nFalcon);
    Run(&CInstallerCore::ShowAvailable);
    Run(&CInstallerCore::OnInstall);
    Run(&CInstallerCore::OnUp);
    Run(&CInstallerCore::OnUp);
    Run(&CInstallerCore::OnUp);
    EXPECT_EQ(Installed(), (Names{"Falcon", "Eagle", "Hawk", "Kite"}));
    m_window.SetCurSel(IDC_INSTALLED, 2);
    Run(&CInstallerCore::OnUninstall);
    m_window.SetCurSel(IDC_INSTALLED, 2);
    Run(&CInstallerCore::OnUninstall);
    EXPECT_EQ(Installed(), (Names{"Falcon", "Eagle"}));
    EXPECT_EQ(m_core.m_nAvailable, 3);
    EXPECT_EQ(m_window.m_mapImages[IDC_AVAILABLE_PICTURE],
              std::vector<int>{m_core.m_apAvailable[nFalcon]->m_nImage});

    Run(&CInstallerCore::SaveAndClose);
    Show(false);

    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_EQ(ReadBytes("data/opponent.txt"),
              "2\r\n\r\n// Opponent 0\r\n" + CarText("Falcon", "FALC") +
                  "\r\n\r\n// Opponent 1\r\n" + CarText("Eagle", "EAGLE") + "\r\n\r\nEND\r\n");
    EXPECT_EQ(ReadBytes("Kite.C2C"), CarText("Kite", "KITE"));
    EXPECT_EQ(ReadBytes("Hawk.c2c"), CarText("Hawk", "HAWK"));
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strGameList) << "the backup keeps the game's list";

    // The next run finds the archive retired and reads back what Ok wrote.
    CMemoryWindow window;
    CInstallerCore core(window);
    core.InitPictures();
    core.Run([&] { core.OnShowWindow(true); });
    EXPECT_TRUE(window.m_aErrors.empty());
    EXPECT_EQ(window.Lines(IDC_INSTALLED), (Names{"Falcon", "Eagle"}));
    EXPECT_EQ(window.Lines(IDC_AVAILABLE).size(), 3u);
}

TEST_F(LoadSaveTest, ArchiveThatStaysIsToldOncePerStartAndTheLoadGoesOn) {
    const std::string strList = OpponentList({CarText("One")});
    WriteBytes("data/opponent.txt", strList);
    const std::string strArchive =
        Archive({{"opponent.txt", "the archive's list"}, {"a.txt", "a"}});
    WriteBytes("data.twt", strArchive.substr(0, strArchive.size() - 4)); // cut short
    Show(true);
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_TRUE(m_window.m_aErrors[0].starts_with(
        "The game's data archive data.twt could not be unpacked: "))
        << m_window.m_aErrors[0];
    EXPECT_TRUE(m_window.m_bOkEnabled);
    EXPECT_EQ(Installed(), Names{"One"});
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strList);

    Show(false);
    Show(true);
    EXPECT_EQ(m_window.m_aErrors.size(), 1u) << "once per start";
}

} // namespace
