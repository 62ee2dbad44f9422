#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "opponents/CarFileReader.h"
#include "opponents/OpponentListReader.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace gamefiles;
using namespace support;

namespace {

using gamefiles::OpponentList; // the text, not the parsed list
using Names_t = std::vector<std::string>;
constexpr CarList kAvailable = CarList::Available;
constexpr CarList kInstalled = CarList::Installed;

class LoadSaveTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directories("data/intrface/carimage");
    }
    void Load() { m_core.Apply(command::Load{}); }
    Names_t Installed() const { return Names(m_core, kInstalled); }
    Names_t Available() const { return Names(m_core, kAvailable); }

    // A load that stopped early: Ok refuses to write, and says why.
    void ExpectStoppedLoad(const std::string& strListBefore) {
        EXPECT_FALSE(m_core.IsLoaded());
        EXPECT_FALSE(m_window.m_astrErrors.empty());
        const std::size_t nErrors = m_window.m_astrErrors.size();
        EXPECT_FALSE(m_core.SaveAndClose());
        EXPECT_EQ(m_window.m_astrErrors.size(), nErrors + 1) << "Ok tells why it writes nothing";
        EXPECT_EQ(ReadBytes("data/opponent.txt"), strListBefore);
    }

    CTestWindow m_window;
    CTestPictures m_pictures;
    CInstallerCore m_core{m_window, m_pictures};
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

    Load();

    EXPECT_EQ(Available(), (Names_t{"Alpha", "Mid", "Zeta"})) << "in file name order, case ignored";
    EXPECT_EQ(Installed(), (Names_t{"One", "Two"}));
    EXPECT_EQ(m_core.GetCar(kInstalled, 1).m_strText, CarText("Two"));
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_TRUE(m_core.IsLoaded());
    for (const CarList list : {kAvailable, kInstalled}) {
        EXPECT_EQ(m_core.GetSelection(list), Selection{});
        EXPECT_EQ(m_core.GetShownInfo(list), "");
        EXPECT_EQ(m_core.GetShownImage(list), -1);
    }
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strList) << "backup taken";
}

TEST_F(LoadSaveTest, OkWritesTheInstalledListExactly) {
    WriteBytes("hawk.c2c", CarText("Hawk", "HAWK"));
    WriteBytes("data/opponent.txt", OpponentList({CarText("One", "ONE"), CarText("Two")}));
    Load();

    m_core.Apply(command::Select{kAvailable, 0});
    m_core.Apply(command::Install{});
    m_core.Apply(command::Up{});
    EXPECT_TRUE(m_core.SaveAndClose());

    EXPECT_EQ(ReadBytes("data/opponent.txt"),
              OpponentList({CarText("One", "ONE"), CarText("Hawk", "HAWK"), CarText("Two")}));

    // An empty list, too.
    WriteBytes("data/opponent.txt", OpponentList({}));
    Load();
    EXPECT_EQ(m_core.GetCount(kInstalled), 0);
    EXPECT_TRUE(m_core.SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "0\r\n\r\nEND\r\n");
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_FALSE(m_core.HasPassedOver());
    EXPECT_EQ(m_core.PassedOverText(), "");
}

// A load and a clearing start the history afresh; cleared lists are never written.
TEST_F(LoadSaveTest, LoadAndClearForgetTheHistoryAndClearedListsAreNotWritten) {
    WriteBytes("data/opponent.txt", OpponentList({CarText("One")}));
    Load();
    m_core.Apply(command::Select{kInstalled, 0});
    m_core.Apply(command::Uninstall{}); // exports One.C2C, which stays
    m_core.Apply(command::Undo{});
    ASSERT_TRUE(m_core.CanRedo());

    Load();
    EXPECT_FALSE(m_core.CanUndo() || m_core.CanRedo());
    EXPECT_EQ(Available(), Names_t{"One"});
    EXPECT_EQ(m_core.GetShownInfo(kInstalled), "");
    m_core.Apply(command::Select{kAvailable, 0});
    m_core.Apply(command::Install{});

    m_core.Apply(command::Clear{});
    EXPECT_EQ(m_core.GetCount(kAvailable) + m_core.GetCount(kInstalled), 0);
    EXPECT_FALSE(m_core.CanUndo());
    EXPECT_FALSE(m_core.IsLoaded()) << "an emptied list must not be written";
    EXPECT_FALSE(m_core.SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), OpponentList({CarText("One")}));
    EXPECT_EQ(ReadBytes("One.C2C"), CarText("One"));
}

// A missing list stops the load, and points to a copy where Restore Opponent List offers one.
TEST_F(LoadSaveTest, MissingOpponentListStopsTheLoad) {
    WriteBytes("hawk.c2c", CarText("Hawk"));
    // Another file in the folder of kept copies is no copy that could be restored.
    const std::pair<std::string, bool> aCopies[] = {
        {"", false},
        {"data/backups/notes.txt", false},
        {"data/backups/" + KeptListName({2026, 12, 8, 9, 45, 1}, 1), true},
        {"data/opponent.old", true}};
    for (const auto& [strCopy, bRestorable] : aCopies) {
        if (!strCopy.empty())
            WriteBytes(strCopy, OpponentList({CarText("One")}));
        m_window.m_astrErrors.clear();
        Load();
        // Without a backup the load stops at taking it, before any car file is read.
        EXPECT_EQ(Available(), strCopy.ends_with(".old") ? Names_t{"Hawk"} : Names_t{});
        ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
        const std::string& strError = m_window.m_astrErrors[0];
        EXPECT_NE(strError.find("opponent.txt"), std::string::npos) << strError;
        EXPECT_NE(strError.find("installation folder"), std::string::npos) << strError;
        EXPECT_EQ(strError.find("Restore Opponent List") != std::string::npos, bRestorable)
            << strError;
        EXPECT_FALSE(m_core.IsLoaded());
        EXPECT_FALSE(m_core.SaveAndClose());
        EXPECT_FALSE(std::filesystem::exists("data/opponent.txt"));
    }
}

// The way back from a missing or damaged list: a whole kept list restored can be saved, and what
// stood on disk is kept first; undoing the restore takes that back. Leaving asks only while the
// installed list differs from what the load read.
TEST_F(LoadSaveTest, ARestoredWholeListCanBeSaved) {
    const std::string strKept = OpponentList({CarText("One"), CarText("Two")});
    WriteBytes("data/OPPONENT.OLD", strKept);
    for (const std::string& strOnDisk : {std::string(), std::string("3\r\n\r\n") + CarText("A")}) {
        if (strOnDisk.empty())
            std::filesystem::remove("data/opponent.txt");
        else
            WriteBytes("data/opponent.txt", strOnDisk);
        std::filesystem::remove_all("data/backups");
        Load();
        ASSERT_FALSE(m_core.IsLoaded());
        EXPECT_FALSE(m_core.HasChanges());

        std::vector<RestorableList> aLists = m_core.ReadRestorableLists();
        ASSERT_EQ(aLists.size(), 1u);
        m_core.Apply(command::Restore{std::move(aLists[0].apRecords)});
        EXPECT_TRUE(m_core.IsLoaded());
        EXPECT_TRUE(m_core.HasChanges());
        m_core.Apply(command::Undo{});
        EXPECT_FALSE(m_core.IsLoaded());
        EXPECT_FALSE(m_core.HasChanges());
        m_core.Apply(command::Redo{});

        m_window.m_astrQuestions.clear();
        EXPECT_TRUE(m_core.SaveAndClose());
        EXPECT_TRUE(m_window.m_astrQuestions.empty()) << "the list is as the load found it";
        EXPECT_EQ(ReadBytes("data/opponent.txt"), strKept);
        const std::vector<KeptList> aKept = ListKeptLists();
        EXPECT_EQ(aKept.size(), strOnDisk.empty() ? 0u : 1u) << "the damaged list is kept";
    }
}

// After an unpacking that failed, a missing list is put down to that, not to the folder.
TEST_F(LoadSaveTest, AListMissingAfterAFailedUnpackingSaysWhy) {
    WriteBytes("data/OPPONENT.OLD", OpponentList({CarText("One")}));
    const std::string strArchive = Archive({{"opponent.txt", OpponentList({})}});
    WriteBytes("data.twt", strArchive.substr(0, strArchive.size() - 4)); // cut short
    Load();
    ASSERT_EQ(m_window.m_astrErrors.size(), 2u);
    EXPECT_NE(m_window.m_astrErrors[1].find("because the game's data archive"), std::string::npos)
        << m_window.m_astrErrors[1];
    EXPECT_EQ(m_window.m_astrErrors[1].find("installation folder"), std::string::npos);
}

// A list that cannot be shown to be whole is never written back; one that can is, unshifted.
TEST_F(LoadSaveTest, OnlyAWholeListIsWrittenBack) {
    WriteBytes("data/opponent.txt", "\r\n\r\n");
    Load();
    ExpectStoppedLoad("\r\n\r\n");

    WriteBytes("data/opponent.txt", "// edited by hand\r\n" + OpponentList({CarText("One")}));
    m_window.m_astrErrors.clear();
    Load();
    EXPECT_EQ(Installed(), Names_t{"One"});
    EXPECT_TRUE(m_core.SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), OpponentList({CarText("One")}));

    const std::string strCut = "3\r\n\r\n" + CarText("One") + CarText("Two") + "Driver\r\n";
    WriteBytes("data/opponent.txt", strCut);
    Load();
    EXPECT_EQ(Installed(), (Names_t{"One", "Two"}));
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_NE(m_window.m_astrErrors[0].find("Its count promises 3 opponents; 2 were read."),
              std::string::npos)
        << m_window.m_astrErrors[0];
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

    Load();

    EXPECT_EQ(Available(), (Names_t{"a", "c", "e"}));
    EXPECT_EQ(Installed(), Names_t{"One"});
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_TRUE(m_core.IsLoaded());
    std::vector<std::string> astrPassedOver = {
        "b.c2c: could not be opened: simulated failure",
        "big.c2c: 1025 KB is too large for a car file",
        "end.c2c: its first value is END, which would end the opponent list it joins",
        "folder.c2c: is a folder, not a file",
        "long.c2c: has a line longer than 65536 bytes",
        "short.c2c: holds 3 of the 11 values a car needs"};
#ifndef _WIN32
    astrPassedOver.insert(astrPassedOver.end() - 1,
                          "pipe.c2c: could not be opened: It is a pipe or a device, not a file");
#endif
    std::string strExpected;
    for (const std::string& strLine : astrPassedOver)
        strExpected += (strExpected.empty() ? "" : "\r\n") + strLine;
    EXPECT_EQ(m_core.PassedOverText(), strExpected);
    EXPECT_TRUE(m_core.HasPassedOver());

    // The next load starts its own list, and the window gets thirty lines and how many more.
    std::filesystem::remove("big.c2c");
    for (int i = 0; i < 30; ++i)
        WriteBytes("x" + std::to_string(10 + i) + ".c2c", "damaged");
    Load();
    const std::string strText = m_core.PassedOverText();
    const std::size_t nLeft = astrPassedOver.size() - 1; // of the first load's
    EXPECT_EQ(std::count(strText.begin(), strText.end(), '\n'), 30);
    EXPECT_TRUE(strText.ends_with("x" + std::to_string(39 - nLeft) +
                                  ".c2c: holds 1 of the 11 values a car needs\r\n... and " +
                                  std::to_string(nLeft) + " more"))
        << strText;
}

// The window hears of the load between files, with counts of thousands.
TEST_F(LoadSaveTest, ProgressNamesEachStepBetweenFilesWithCountsOfThousands) {
    struct Step {
        std::string strStep;
        int nDone;
        int nTotal;
    };
    struct CProgressWindow : CTestWindow {
        void ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) override {
            m_aSteps.push_back({strStep, nDone, nTotal});
        }
        std::vector<Step> m_aSteps;
    };
    constexpr int kCars = 1200;
    for (int i = 0; i < kCars; ++i)
        WriteBytes("car" + std::to_string(i) + ".c2c", CarText("Car" + std::to_string(i)));
    WriteBytes("data/opponent.txt", OpponentList({CarText("One"), CarText("Two")}));
    WriteBytes("data.twt", Archive({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
    constexpr std::size_t kUnpack = 1 + 4; // announced, then before each entry and at the end
    CProgressWindow window;
    CInstallerCore core(window, m_pictures);

    core.Apply(command::Load{});

    ASSERT_EQ(core.GetCount(kInstalled), 2);
    const std::vector<Step>& aSteps = window.m_aSteps;
    ASSERT_EQ(aSteps.size(), kUnpack + (kCars + 1) + 2u);
    for (int i = 0; i < static_cast<int>(kUnpack); ++i) {
        EXPECT_EQ(aSteps[i].strStep, "Unpacking the game's data");
        EXPECT_EQ(aSteps[i].nDone, i == 0 ? 0 : i - 1);
        EXPECT_EQ(aSteps[i].nTotal, i == 0 ? 0 : 3);
    }
    for (int i = 0; i <= kCars; ++i) {
        EXPECT_EQ(aSteps[kUnpack + i].nDone, i);
        EXPECT_EQ(aSteps[kUnpack + i].nTotal, kCars);
    }
    EXPECT_EQ(aSteps[kUnpack].strStep, "Reading car files: 0 of 1,200");
    EXPECT_EQ(aSteps[kUnpack + 999].strStep, "Reading car files: 999 of 1,200");
    EXPECT_EQ(aSteps[kUnpack + kCars].strStep, "Reading car files: 1,200 of 1,200");
    for (int i = 0; i < 2; ++i) {
        const Step& step = aSteps[kUnpack + kCars + 1 + i];
        EXPECT_EQ(step.strStep, "Reading the opponent list");
        EXPECT_EQ(step.nDone, i);
        EXPECT_EQ(step.nTotal, 2);
    }
}

// A list too large to be any opponent list is not read into memory at all.
TEST_F(LoadSaveTest, AnOpponentListLargerThanItsLimitIsRefused) {
    WriteBytes("a.c2c", CarText("A"));
    const std::string strList = OpponentList({CarText("One")});
    const std::string strHuge =
        strList + std::string(kMaxOpponentListBytes + 1 - strList.size(), ' ');
    WriteBytes("data/opponent.txt", strHuge);

    Load();

    EXPECT_EQ(Available(), Names_t{"A"});
    EXPECT_EQ(Installed(), Names_t{});
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_EQ(m_window.m_astrErrors[0], "Could not read \"data\\opponent.txt\": it is larger than "
                                        "16 MB, more than such a file ever holds.");
    ExpectStoppedLoad(strHuge);

    // One byte less is read, and reads whole.
    WriteBytes("data/opponent.txt", strHuge.substr(0, kMaxOpponentListBytes));
    m_window.m_astrErrors.clear();
    Load();
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_EQ(Installed(), Names_t{"One"});
    EXPECT_TRUE(m_core.IsLoaded());
}

TEST_F(LoadSaveTest, CarsOfOneFileBaseSharePicture) {
    WriteBytes("data/intrface/carimage/EAGLECI.TWT", Archive({}));
    WriteBytes("a.c2c", CarText("A", "EAGLE"));
    WriteBytes("b.c2c", CarText("B", "HAWK")); // no picture
    WriteBytes("data/opponent.txt", OpponentList({CarText("C", "EAGLE")}));

    Load();

    EXPECT_EQ(m_pictures.m_nPictures, 0) << "composed when first drawn";
    EXPECT_EQ(m_core.GetCar(kInstalled, 0).m_nImage, m_core.GetCar(kAvailable, 0).m_nImage);
    EXPECT_NE(m_core.GetCar(kAvailable, 1).m_nImage, m_core.GetCar(kAvailable, 0).m_nImage);
    m_core.Apply(command::Select{kAvailable, 0});
    m_core.Apply(command::Select{kInstalled, 0});
    EXPECT_EQ(m_core.ComposeShownImage(kAvailable), 0);
    EXPECT_EQ(m_core.ComposeShownImage(kInstalled), 0);
    EXPECT_EQ(m_pictures.m_nPictures, 1);
}

// One run as a user sees it, in a game folder whose data still lie in the game's archive.
TEST_F(LoadSaveTest, WholeRun) {
    const std::string strGameList =
        OpponentList({CarText("Eagle", "EAGLE"), CarText("Hawk", "HAWK"), CarText("Kite", "KITE")});
    const std::string strEaglePicture =
        Archive({{"PIXIES.P16", Pixies({TileRecord("EAGLEA", TilePixels(0xF8, 0x4C)),
                                        TileRecord("eagleF", TilePixels(1, 2))})}});
    WriteBytes("data.twt", Archive({{"opponent.txt", strGameList},
                                    {"intrface\\carimage\\EAGLECI.TWT", strEaglePicture}}));
    WriteBytes("data/intrface/carimage/FALCCI/PIX16/FALCA.PIX", TileFile(TilePixels(0, 0x33)));
    WriteBytes("falcon.c2c", CarText("Falcon", "FALC"));
    WriteBytes("Hawk.c2c", CarText("Hawk", "HAWK"));

    Load();
    ASSERT_TRUE(m_window.m_astrErrors.empty()) << m_window.m_astrErrors[0];
    EXPECT_TRUE(m_core.IsLoaded());
    EXPECT_TRUE(std::filesystem::exists("data.twat"));
    EXPECT_FALSE(std::filesystem::exists("data.twt"));
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strGameList);
    EXPECT_EQ(Installed(), (Names_t{"Eagle", "Hawk", "Kite"}));
    EXPECT_EQ(Available(), (Names_t{"Falcon", "Hawk"}));
    EXPECT_EQ(m_pictures.m_aPictures.size(), 0u);
    m_core.Apply(command::Select{kInstalled, 0});
    const int nEagle = m_core.ComposeShownImage(kInstalled);
    ASSERT_EQ(nEagle, 0);
    ASSERT_EQ(m_pictures.m_aPictures.size(), 1u);
    const std::vector<std::uint8_t>& aEagle =
        m_pictures.m_aPictures[static_cast<std::size_t>(nEagle)];
    EXPECT_EQ(aEagle[0], 0xC0);
    EXPECT_EQ(aEagle[1], 0x40);
    EXPECT_EQ(aEagle[2], 0x80);
    EXPECT_EQ(aEagle[3 * (192 * 127 + 191) + 1], 0x00) << "tile F green";
    EXPECT_EQ(aEagle[3 * (192 * 127 + 191)], 0x20) << "tile F blue";

    // Install the falcon, move it to the top, drop the hawk (a car file has it) and export the
    // kite (none has it).
    m_core.Apply(command::Select{kAvailable, 0});
    m_core.Apply(command::Install{});
    for (int i = 0; i < 3; ++i)
        m_core.Apply(command::Up{});
    EXPECT_EQ(Installed(), (Names_t{"Falcon", "Eagle", "Hawk", "Kite"}));
    for (int i = 0; i < 2; ++i) {
        m_core.Apply(command::Select{kInstalled, 2});
        m_core.Apply(command::Uninstall{});
    }
    EXPECT_EQ(Installed(), (Names_t{"Falcon", "Eagle"}));
    EXPECT_EQ(Available(), (Names_t{"Falcon", "Hawk", "Kite"}));
    // The kite has no picture: the falcon's, shown before it, stays in view; drawn only now, it
    // is composed now.
    EXPECT_EQ(m_core.GetShownImage(kAvailable), m_core.GetCar(kAvailable, 2).m_nImage);
    ASSERT_EQ(m_core.ComposeShownImage(kAvailable), 1);
    EXPECT_EQ(m_pictures.m_aPictures.at(1)[0], 0x30) << "the falcon's tile A";
    EXPECT_EQ(m_pictures.m_aPictures.at(1)[2], 0x00);
    EXPECT_NE(m_core.GetShownInfo(kAvailable).find("Kite"), std::string::npos);

    EXPECT_TRUE(m_core.SaveAndClose());
    m_core.Apply(command::Clear{});

    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_EQ(ReadBytes("data/opponent.txt"),
              OpponentList({CarText("Falcon", "FALC"), CarText("Eagle", "EAGLE")}));
    EXPECT_EQ(ReadBytes("Kite.C2C"), CarText("Kite", "KITE"));
    EXPECT_EQ(ReadBytes("Hawk.c2c"), CarText("Hawk", "HAWK"));
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strGameList) << "the backup keeps the game's list";

    // The next run finds the archive retired and reads back what Ok wrote.
    CTestWindow window;
    CTestPictures pictures;
    CInstallerCore core(window, pictures);
    core.Apply(command::Load{});
    EXPECT_TRUE(window.m_astrErrors.empty());
    EXPECT_EQ(Names(core, kInstalled), (Names_t{"Falcon", "Eagle"}));
    EXPECT_EQ(core.GetCount(kAvailable), 3);
}

TEST_F(LoadSaveTest, ArchiveThatStaysIsToldOncePerStartAndTheLoadGoesOn) {
    const std::string strList = OpponentList({CarText("One")});
    WriteBytes("data/opponent.txt", strList);
    const std::string strArchive =
        Archive({{"opponent.txt", "the archive's list"}, {"a.txt", "a"}});
    WriteBytes("data.twt", strArchive.substr(0, strArchive.size() - 4)); // cut short
    Load();
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_TRUE(m_window.m_astrErrors[0].starts_with(
        "The game's data archive data.twt could not be unpacked: "))
        << m_window.m_astrErrors[0];
    EXPECT_TRUE(m_core.IsLoaded());
    EXPECT_EQ(Installed(), Names_t{"One"});
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strList);

    m_core.Apply(command::Clear{});
    Load();
    EXPECT_EQ(m_window.m_astrErrors.size(), 1u) << "once per start";
}

} // namespace
