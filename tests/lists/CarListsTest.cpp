#include "lists/InstallerCore.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/MemoryWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace gamefiles;
using namespace support;

namespace {

class CarListsTest : public CTempFolderTest {
protected:
    CarListsTest() {
        m_window.m_bCheckImages = false;
    } // the cars carry picture numbers of their own

    // A record as the start-up load makes it, straight into a list.
    CarRecord& Add(const std::string& strName, bool bAvailable, int nImage = -1) {
        auto pRecord = std::make_unique<CarRecord>();
        pRecord->m_nImage = nImage;
        pRecord->m_strCarName = strName;
        pRecord->m_strFileBase = strName + "FB";
        pRecord->m_strInfo = "Car: " + strName + "\r\n";
        pRecord->m_strText = CarText(strName, strName + "FB");
        CarRecord& record = *pRecord;
        EXPECT_TRUE(m_core.AddEntry(std::move(pRecord), bAvailable));
        return record;
    }

    static std::vector<std::string> Names(const auto& apList, int nCount) {
        std::vector<std::string> aNames;
        for (int i = 0; i < nCount; ++i)
            aNames.push_back(apList[i]->m_strCarName);
        return aNames;
    }
    std::vector<std::string> Installed() const {
        return Names(m_core.m_apInstalled, m_core.m_nInstalled);
    }
    std::vector<std::string> Available() const {
        return Names(m_core.m_apAvailable, m_core.m_nAvailable);
    }

    // The list boxes mirror the records one to one, and no slot past a count holds a record.
    void ExpectMirrored() const {
        EXPECT_EQ(m_window.Lines(IDC_INSTALLED), Installed());
        EXPECT_EQ(m_window.Lines(IDC_AVAILABLE), Available());
        for (int i = m_core.m_nInstalled; i < CInstallerCore::kMaxCars; ++i)
            ASSERT_EQ(m_core.m_apInstalled[i], nullptr) << "installed slot " << i;
        for (int i = m_core.m_nAvailable; i < CInstallerCore::kMaxCars; ++i)
            ASSERT_EQ(m_core.m_apAvailable[i], nullptr) << "available slot " << i;
    }

    void Run(void (CInstallerCore::*handler)()) {
        m_core.Run([&] { (m_core.*handler)(); });
        ExpectMirrored();
    }

    using Names_t = std::vector<std::string>;
    CMemoryWindow m_window;
    CInstallerCore m_core{m_window};
};

TEST_F(CarListsTest, AddAndRemoveKeepListBoxesInStep) {
    Add("Alpha", true);
    Add("Beta", true);
    Add("Gamma", true);
    Add("Delta", false);
    ExpectMirrored();
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), -1) << "adding selects nothing";

    m_core.RemoveEntry(1, true);
    EXPECT_EQ(Available(), (Names_t{"Alpha", "Gamma"}));
    m_core.RemoveEntry(5, true); // out of range: nothing
    m_core.RemoveEntry(-1, false);
    ExpectMirrored();

    m_core.ClearLists();
    EXPECT_EQ(m_core.m_nAvailable, 0);
    EXPECT_EQ(m_core.m_nInstalled, 0);
    ExpectMirrored();
}

TEST_F(CarListsTest, CommandsWithoutSelectionDoNothing) {
    Add("Alpha", true, 3);
    Add("Beta", false, 4);
    Add("Gamma", false, 5);

    for (auto handler :
         {&CInstallerCore::OnInstall, &CInstallerCore::OnUninstall, &CInstallerCore::OnUp,
          &CInstallerCore::OnDown, &CInstallerCore::ShowInstalled, &CInstallerCore::ShowAvailable})
        Run(handler);

    EXPECT_EQ(Available(), (Names_t{"Alpha"}));
    EXPECT_EQ(Installed(), (Names_t{"Beta", "Gamma"}));
    EXPECT_TRUE(m_window.m_mapInfo.empty());
    EXPECT_TRUE(m_window.m_mapImages.empty());
    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_EQ(FolderNames(), Names_t{});
}

TEST_F(CarListsTest, InstallAppendsAnIndependentCopyAndShowsIt) {
    Add("Alpha", true, 3);
    CarRecord& beta = Add("Beta", true, 7);
    Add("Gamma", false, 1);
    m_window.SetCurSel(IDC_AVAILABLE, 1);

    Run(&CInstallerCore::OnInstall);
    Run(&CInstallerCore::OnInstall); // no check for doubles

    EXPECT_EQ(Installed(), (Names_t{"Gamma", "Beta", "Beta"}));
    EXPECT_EQ(Available(), (Names_t{"Alpha", "Beta"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 2);
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), 1) << "the available selection stays";
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: Beta\r\n");
    EXPECT_EQ(m_window.m_mapImages[IDC_INSTALLED_PICTURE], (std::vector<int>{7, 7}));

    const CarRecord& copy = *m_core.m_apInstalled[2];
    EXPECT_NE(&copy, &beta);
    EXPECT_NE(&copy, m_core.m_apInstalled[1].get());
    EXPECT_EQ(copy.m_nImage, 7);
    EXPECT_EQ(copy.m_strFileBase, "");
    EXPECT_EQ(copy.m_strText, beta.m_strText);
    beta.m_strCarName += "!";
    beta.m_strInfo += "!";
    beta.m_strText += "!";
    EXPECT_EQ(copy.m_strCarName, "Beta");
    EXPECT_EQ(copy.m_strInfo, "Car: Beta\r\n");
    EXPECT_EQ(copy.m_strText, CarText("Beta", "BetaFB"));
}

TEST_F(CarListsTest, UninstallOfAnAvailableCarOnlyRemovesIt) {
    Add("Alpha", true);
    Add("Beta", false);
    Add("Alpha", false);
    m_window.SetCurSel(IDC_INSTALLED, 1);

    Run(&CInstallerCore::OnUninstall);

    EXPECT_EQ(Installed(), (Names_t{"Beta"}));
    EXPECT_EQ(Available(), (Names_t{"Alpha"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), -1);
    EXPECT_EQ(FolderNames(), Names_t{}) << "no car file written";
}

// A car file of the same name but another text does not keep the installed car's text: that car
// is exported beside it, so both versions survive.
TEST_F(CarListsTest, UninstallKeepsATextNoCarFileHolds) {
    Add("Eagle", true);
    CarRecord& tuned = Add("Eagle", false);
    tuned.m_strText = CarText("Eagle", "Tuned");
    Add("Eagle", false);
    WriteBytes("Eagle.C2C", CarText("Eagle", "EagleFB"));

    m_window.SetCurSel(IDC_INSTALLED, 0);
    Run(&CInstallerCore::OnUninstall);
    EXPECT_EQ(Installed(), Names_t{"Eagle"});
    EXPECT_EQ(Available(), (Names_t{"Eagle", "Eagle"}));
    EXPECT_EQ(ReadBytes("Eagle (2).C2C"), CarText("Eagle", "Tuned"));

    // The same text as an available car: only removed.
    m_window.SetCurSel(IDC_INSTALLED, 0);
    Run(&CInstallerCore::OnUninstall);
    EXPECT_EQ(Installed(), Names_t{});
    EXPECT_EQ(Available().size(), 2u);
    EXPECT_EQ(FolderNames(), (Names_t{"Eagle (2).C2C", "Eagle.C2C"}));
}

TEST_F(CarListsTest, UninstallOfAnUnknownCarExportsIt) {
    Add("eagle", true); // names match case-sensitively
    Add("Hawk", false);
    const CarRecord& eagle = Add("Eagle", false, 9);
    const std::string strText = eagle.m_strText;
    m_window.SetCurSel(IDC_INSTALLED, 1);

    Run(&CInstallerCore::OnUninstall);

    EXPECT_EQ(Installed(), (Names_t{"Hawk"}));
    EXPECT_EQ(Available(), (Names_t{"eagle", "Eagle"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), 1);
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), -1);
    EXPECT_EQ(m_window.m_mapInfo[IDC_AVAILABLE_INFO], "Car: Eagle\r\n");
    EXPECT_EQ(m_window.m_mapImages[IDC_AVAILABLE_PICTURE], std::vector<int>{9});
    const CarRecord& exported = *m_core.m_apAvailable[1];
    EXPECT_EQ(exported.m_nImage, 9);
    EXPECT_EQ(exported.m_strFileBase, "");
    EXPECT_EQ(FolderNames(), Names_t{"Eagle.C2C"});
    EXPECT_EQ(ReadBytes("Eagle.C2C"), strText);
}

TEST_F(CarListsTest, ExportNeverOverwritesACarFile) {
    WriteBytes("eagle.c2c", "someone else's car");
    Add("Eagle", false);
    m_window.SetCurSel(IDC_INSTALLED, 0);

    Run(&CInstallerCore::OnUninstall);

    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_EQ(FolderNames(), (Names_t{"Eagle (2).C2C", "eagle.c2c"}));
    EXPECT_EQ(ReadBytes("eagle.c2c"), "someone else's car");
    EXPECT_EQ(ReadBytes("Eagle (2).C2C"), CarText("Eagle", "EagleFB"));
    EXPECT_EQ(Available(), (Names_t{"Eagle"}));
}

TEST_F(CarListsTest, FailedExportLosesNothingAndListsNoPhantom) {
    Add("Alpha", true);
    Add("Eagle", false);
    Add("A/B", false); // not a safe file name
    SetFileFaultHook(
        [](FileOp op, const std::string&) { return op == FileOp::Create || op == FileOp::Write; });

    for (int s : {0, 1}) {
        m_window.SetCurSel(IDC_INSTALLED, s);
        Run(&CInstallerCore::OnUninstall);
        EXPECT_EQ(Installed(), (Names_t{"Eagle", "A/B"}));
        EXPECT_EQ(Available(), (Names_t{"Alpha"}));
    }
    EXPECT_EQ(m_window.m_aErrors.size(), 2u);
    EXPECT_EQ(FolderNames(), Names_t{});
}

TEST_F(CarListsTest, UpAndDownMoveTheSelectedCar) {
    for (const char* szName : {"A", "B", "C"})
        Add(szName, false, szName[0] - 'A');

    m_window.SetCurSel(IDC_INSTALLED, 0);
    Run(&CInstallerCore::OnUp); // first line: nothing
    EXPECT_EQ(Installed(), (Names_t{"A", "B", "C"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 0);

    Run(&CInstallerCore::OnDown);
    EXPECT_EQ(Installed(), (Names_t{"B", "A", "C"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 1);
    Run(&CInstallerCore::OnDown);
    EXPECT_EQ(Installed(), (Names_t{"B", "C", "A"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 2);
    Run(&CInstallerCore::OnDown); // last line: nothing
    EXPECT_EQ(Installed(), (Names_t{"B", "C", "A"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 2);

    m_window.SetCurSel(IDC_INSTALLED, 1);
    Run(&CInstallerCore::OnUp);
    EXPECT_EQ(Installed(), (Names_t{"C", "B", "A"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 0);
    EXPECT_EQ(m_window.m_mapImages[IDC_INSTALLED_PICTURE], (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: C\r\n");
}

TEST_F(CarListsTest, ShowPassesNoPictureOnAndUpdatesTheText) {
    Add("A", true, 4);
    Add("B", true, -1);
    m_window.SetCurSel(IDC_AVAILABLE, 0);
    Run(&CInstallerCore::ShowAvailable);
    m_window.SetCurSel(IDC_AVAILABLE, 1);
    Run(&CInstallerCore::ShowAvailable);

    EXPECT_EQ(m_window.m_mapInfo[IDC_AVAILABLE_INFO], "Car: B\r\n");
    EXPECT_EQ(m_window.m_mapImages[IDC_AVAILABLE_PICTURE], std::vector<int>{4});
    EXPECT_EQ(m_window.m_mapInfo.count(IDC_INSTALLED_INFO), 0u);
}

TEST_F(CarListsTest, FullListsRefuseMoreCars) {
    for (int i = 0; i < CInstallerCore::kMaxCars; ++i) {
        Add("I" + std::to_string(i), false);
        Add("V" + std::to_string(i), true);
    }
    EXPECT_FALSE(m_core.AddEntry(std::make_unique<CarRecord>(), false));
    EXPECT_FALSE(m_core.AddEntry(std::make_unique<CarRecord>(), true));

    m_window.SetCurSel(IDC_AVAILABLE, 0);
    Run(&CInstallerCore::OnInstall);
    m_window.SetCurSel(IDC_INSTALLED, 5);
    Run(&CInstallerCore::OnUninstall); // would export I5 into the full available list

    EXPECT_EQ(m_core.m_nInstalled, CInstallerCore::kMaxCars);
    EXPECT_EQ(m_core.m_nAvailable, CInstallerCore::kMaxCars);
    EXPECT_EQ(m_core.m_apInstalled[5]->m_strCarName, "I5");
    EXPECT_EQ(m_window.m_aErrors.size(), 2u);
    EXPECT_EQ(FolderNames(), Names_t{});
}

TEST_F(CarListsTest, TopAndBottomMoveTheSelectedCarWhole) {
    for (const char* szName : {"A", "B", "C", "D"})
        Add(szName, false, szName[0] - 'A');

    m_window.SetCurSel(IDC_INSTALLED, 2);
    Run(&CInstallerCore::OnTop);
    EXPECT_EQ(Installed(), (Names_t{"C", "A", "B", "D"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 0);
    EXPECT_EQ(m_core.m_apInstalled[0]->m_strFileBase, "CFB") << "the car moves, not a copy";
    EXPECT_EQ(m_core.m_apInstalled[0]->m_strText, CarText("C", "CFB"));
    Run(&CInstallerCore::OnTop); // already there: nothing is shown again
    EXPECT_EQ(m_window.m_mapImages[IDC_INSTALLED_PICTURE], std::vector<int>{2});

    m_window.SetCurSel(IDC_INSTALLED, 1);
    Run(&CInstallerCore::OnBottom);
    EXPECT_EQ(Installed(), (Names_t{"C", "B", "D", "A"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 3);
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: A\r\n");
    Run(&CInstallerCore::OnBottom);
    EXPECT_EQ(Installed(), (Names_t{"C", "B", "D", "A"}));
}

TEST_F(CarListsTest, InstallAtPutsACopyWhereItIsDropped) {
    Add("Alpha", true, 3);
    Add("Beta", true, 4);
    Add("X", false);
    Add("Y", false);

    for (const auto& [nCar, nPosition] : {std::pair{1, 0}, {0, 2}, {1, 4}})
        m_core.Run([&] { m_core.InstallAt(nCar, nPosition); });
    ExpectMirrored();
    EXPECT_EQ(Installed(), (Names_t{"Beta", "X", "Alpha", "Y", "Beta"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 4);
    EXPECT_EQ(m_core.m_apInstalled[2]->m_strFileBase, "") << "a copy, as by the button";
    EXPECT_EQ(m_window.m_mapImages[IDC_INSTALLED_PICTURE], (std::vector<int>{4, 3, 4}));

    // Places and cars that do not exist change nothing.
    for (const auto& [nCar, nPosition] : {std::pair{0, 6}, {0, -1}, {2, 0}, {-1, 0}})
        m_core.Run([&] { m_core.InstallAt(nCar, nPosition); });
    EXPECT_EQ(Installed().size(), 5u);
    EXPECT_EQ(Available(), (Names_t{"Alpha", "Beta"}));
}

TEST_F(CarListsTest, DropsMoveInstallOrUninstall) {
    Add("Alpha", true, 9);
    for (const char* szName : {"A", "B", "C", "Alpha"})
        Add(szName, false, szName[0] - 'A');
    const auto drop = [&](int nFrom, int nItem, int nTo, int nPosition) {
        m_core.Run([&] { m_core.OnDrop(nFrom, nItem, nTo, nPosition); });
        ExpectMirrored();
    };

    // Before a line: A dropped before C lands between B and C.
    drop(IDC_INSTALLED, 0, IDC_INSTALLED, 2);
    EXPECT_EQ(Installed(), (Names_t{"B", "A", "C", "Alpha"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 1);
    drop(IDC_INSTALLED, 2, IDC_INSTALLED, 0);
    EXPECT_EQ(Installed(), (Names_t{"C", "B", "A", "Alpha"}));
    drop(IDC_INSTALLED, 0, IDC_INSTALLED, 4); // below the last line
    EXPECT_EQ(Installed(), (Names_t{"B", "A", "Alpha", "C"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 3);

    // Onto its own line or the next one, onto the available list from itself, or nowhere: the
    // lists are not touched at all.
    const auto mapImagesBefore = m_window.m_mapImages;
    drop(IDC_INSTALLED, 1, IDC_INSTALLED, 1);
    drop(IDC_INSTALLED, 1, IDC_INSTALLED, 2);
    drop(IDC_AVAILABLE, 0, IDC_AVAILABLE, -1);
    drop(IDC_INSTALLED, 1, 0, -1);
    drop(IDC_AVAILABLE, 0, 0, -1);
    EXPECT_EQ(Installed(), (Names_t{"B", "A", "Alpha", "C"}));
    EXPECT_EQ(m_window.m_mapImages, mapImagesBefore) << "nothing shown again";
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 3);

    drop(IDC_AVAILABLE, 0, IDC_INSTALLED, 1);
    EXPECT_EQ(Installed(), (Names_t{"B", "Alpha", "A", "Alpha", "C"}));
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 1);

    drop(IDC_INSTALLED, 3, IDC_AVAILABLE, -1); // an available twin: only removed
    EXPECT_EQ(Installed(), (Names_t{"B", "Alpha", "A", "C"}));
    EXPECT_EQ(FolderNames(), Names_t{});
    drop(IDC_INSTALLED, 3, IDC_AVAILABLE, -1); // no twin: exported
    EXPECT_EQ(Installed(), (Names_t{"B", "Alpha", "A"}));
    EXPECT_EQ(Available(), (Names_t{"Alpha", "C"}));
    EXPECT_EQ(FolderNames(), Names_t{"C.C2C"});
}

TEST_F(CarListsTest, TypingSelectsTheFirstCarBeginningWithIt) {
    for (const char* szName : {"Ice Cream", "silver Arrow", "Sierra", "Silver Bullet", "sly"})
        Add(szName, true, 0);
    Add("Sierra", false, 0);
    const auto type = [&](const char* sz, std::uint32_t nStartMs, bool bAvailable = true) {
        for (std::uint32_t n = 0; sz[n] != '\0'; ++n)
            m_core.OnTypeAhead(bAvailable, sz[n], nStartMs + 300 * n);
        return m_window.GetCurSel(bAvailable ? IDC_AVAILABLE : IDC_INSTALLED);
    };

    EXPECT_EQ(type("si", 5000), 1) << "not the first car beginning with the last letter typed";
    EXPECT_EQ(m_window.m_mapInfo[IDC_AVAILABLE_INFO], "Car: silver Arrow\r\n");
    EXPECT_EQ(type("er", 5600), 2) << "within a second the typing goes on: \"sier\"";
    EXPECT_EQ(type("SILVER B", 10000), 3) << "case ignored, spaces count";
    EXPECT_EQ(type("x", 20000), 3) << "no car begins so: the selection stays";
    EXPECT_EQ(type("i", 20500), 3) << "\"xi\" matches nothing either";
    EXPECT_EQ(type("i", 21500), 0) << "a second's pause starts afresh";
    EXPECT_EQ(type("s", 30000, false), 0) << "each list by itself";
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), 0);
    // The clock wraps after 49 days; a key just after that is still within the second.
    EXPECT_EQ(type("sl", 0xFFFFFF00u), 4);
}

} // namespace
