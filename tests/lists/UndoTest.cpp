#include "lists/InstallerCore.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/MemoryWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

using namespace gamefiles;
using namespace support;

namespace {

// A car as the lists must hold it: every field, so that undo is checked to give back the very
// records and not look-alikes.
struct Car {
    std::string strName;
    std::string strFileBase;
    std::string strText;
    int nImage = -1;
    bool operator==(const Car&) const = default;
};

Car CarOf(const CarRecord& record) {
    return {record.m_strCarName, record.m_strFileBase, record.m_strText, record.m_nImage};
}

// Everything undo and redo must give back: both lists, both selections, the files.
struct State {
    std::vector<Car> aAvailable;
    std::vector<Car> aInstalled;
    int nAvailableSel = -1;
    int nInstalledSel = -1;
    std::vector<std::string> astrFiles;
    bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& os, const State& state) {
    const auto list = [&](const std::vector<Car>& aCars) {
        for (const Car& car : aCars)
            os << " " << car.strName << "/" << car.strFileBase << "/" << car.nImage;
    };
    os << "available";
    list(state.aAvailable);
    os << " (sel " << state.nAvailableSel << "); installed";
    list(state.aInstalled);
    os << " (sel " << state.nInstalledSel << "); files";
    for (const std::string& str : state.astrFiles)
        os << " " << str;
    return os;
}

class UndoTest : public CTempFolderTest {
protected:
    UndoTest() { m_window.m_bCheckImages = false; } // the cars carry picture numbers of their own

    void Add(const std::string& strName, bool bAvailable, int nImage) {
        auto pRecord = std::make_unique<CarRecord>();
        pRecord->m_nImage = nImage;
        pRecord->m_strCarName = strName;
        pRecord->m_strFileBase = strName + (bAvailable ? "A" : "I");
        pRecord->m_strInfo = "Car: " + strName + "\r\n";
        pRecord->m_strText = CarText(strName, strName); // twins hold the same text
        ASSERT_TRUE(m_core.AddEntry(std::move(pRecord), bAvailable));
    }
    // Available: Alpha, Beta, Gamma. Installed: Beta (a twin of an available car), Eagle and
    // Hawk (known nowhere else, so they are exported when uninstalled).
    void AddStandardCars() {
        Add("Alpha", true, 0);
        Add("Beta", true, 1);
        Add("Gamma", true, 2);
        Add("Beta", false, 3);
        Add("Eagle", false, 4);
        Add("Hawk", false, 5);
    }

    State Now() const {
        State state;
        for (int i = 0; i < m_core.m_nAvailable; ++i)
            state.aAvailable.push_back(CarOf(*m_core.m_apAvailable[i]));
        for (int i = 0; i < m_core.m_nInstalled; ++i)
            state.aInstalled.push_back(CarOf(*m_core.m_apInstalled[i]));
        state.nAvailableSel = m_window.GetCurSel(IDC_AVAILABLE);
        state.nInstalledSel = m_window.GetCurSel(IDC_INSTALLED);
        state.astrFiles = FolderNames();
        return state;
    }
    void ExpectMirrored() const {
        std::vector<std::string> aAvailable, aInstalled;
        for (int i = 0; i < m_core.m_nAvailable; ++i)
            aAvailable.push_back(m_core.m_apAvailable[i]->m_strCarName);
        for (int i = 0; i < m_core.m_nInstalled; ++i)
            aInstalled.push_back(m_core.m_apInstalled[i]->m_strCarName);
        EXPECT_EQ(m_window.Lines(IDC_AVAILABLE), aAvailable);
        EXPECT_EQ(m_window.Lines(IDC_INSTALLED), aInstalled);
    }
    void Run(void (CInstallerCore::*handler)()) {
        m_core.Run([&] { (m_core.*handler)(); });
        ExpectMirrored();
    }
    void Select(int nAvailable, int nInstalled) {
        m_window.SetCurSel(IDC_AVAILABLE, nAvailable);
        m_window.SetCurSel(IDC_INSTALLED, nInstalled);
    }

    CMemoryWindow m_window;
    CInstallerCore m_core{m_window};
};

struct CommandCase {
    const char* pszName;
    void (CInstallerCore::*handler)();
    int nAvailableSel;
    int nInstalledSel;
};

TEST_F(UndoTest, EveryCommandUndoneAndRedoneGivesBackTheExactState) {
    const CommandCase aCases[] = {
        {"install", &CInstallerCore::OnInstall, 1, 0},
        {"install with nothing installed selected", &CInstallerCore::OnInstall, 2, -1},
        {"uninstall of a twin", &CInstallerCore::OnUninstall, 2, 0},
        {"up", &CInstallerCore::OnUp, -1, 2},
        {"down", &CInstallerCore::OnDown, 0, 0},
        {"to the top", &CInstallerCore::OnTop, -1, 2},
        {"to the bottom", &CInstallerCore::OnBottom, -1, 0},
    };
    for (const CommandCase& command : aCases) {
        SCOPED_TRACE(command.pszName);
        m_core.OnShowWindow(false); // empties the lists and the history
        AddStandardCars();
        Select(command.nAvailableSel, command.nInstalledSel);
        const State before = Now();
        Run(command.handler);
        const State after = Now();
        ASSERT_NE(after, before);
        ASSERT_TRUE(m_core.CanUndo());

        for (int nRound = 0; nRound < 2; ++nRound) {
            Run(&CInstallerCore::Undo);
            EXPECT_EQ(Now(), before);
            EXPECT_FALSE(m_core.CanUndo());
            EXPECT_TRUE(m_core.CanRedo());
            Run(&CInstallerCore::Redo);
            EXPECT_EQ(Now(), after);
            EXPECT_FALSE(m_core.CanRedo());
        }
    }
    EXPECT_TRUE(m_window.m_aErrors.empty());
}

TEST_F(UndoTest, EachDropIsOneStepAndADropThatChangesNothingIsNone) {
    AddStandardCars();
    Select(-1, -1);
    const State before = Now();
    m_core.OnDrop(IDC_INSTALLED, 1, IDC_INSTALLED, 1); // onto itself
    m_core.OnDrop(IDC_AVAILABLE, 0, IDC_AVAILABLE, 0); // within the available list
    EXPECT_EQ(Now(), before);
    EXPECT_FALSE(m_core.CanUndo());

    m_core.OnDrop(IDC_INSTALLED, 0, IDC_INSTALLED, 3); // Beta to the bottom
    m_core.OnDrop(IDC_AVAILABLE, 2, IDC_INSTALLED, 0); // Gamma installed at the top
    const State after = Now();
    Run(&CInstallerCore::Undo);
    Run(&CInstallerCore::Undo);
    EXPECT_EQ(Now().aInstalled, before.aInstalled);
    EXPECT_FALSE(m_core.CanUndo());
    Run(&CInstallerCore::Redo);
    Run(&CInstallerCore::Redo);
    EXPECT_EQ(Now(), after);
}

TEST_F(UndoTest, UndoShowsTheCarTheStepActedOn) {
    AddStandardCars();
    Select(0, 1);
    Run(&CInstallerCore::OnDown); // Eagle goes below Hawk
    Select(2, -1);
    Run(&CInstallerCore::ShowAvailable); // the user looks at Gamma meanwhile
    m_window.m_mapImages.clear();

    Run(&CInstallerCore::Undo);
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 1);
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: Eagle\r\n");
    EXPECT_EQ(m_window.m_mapImages[IDC_INSTALLED_PICTURE], std::vector<int>{4});
    EXPECT_EQ(m_window.GetCurSel(IDC_AVAILABLE), 0);
    EXPECT_EQ(m_window.m_mapInfo[IDC_AVAILABLE_INFO], "Car: Alpha\r\n");

    Run(&CInstallerCore::Redo);
    EXPECT_EQ(m_window.GetCurSel(IDC_INSTALLED), 2);
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: Eagle\r\n");
}

TEST_F(UndoTest, UndoOfAnExportKeepsTheFileAndItsAvailableCar) {
    AddStandardCars();
    Select(-1, 1);
    const State before = Now();
    Run(&CInstallerCore::OnUninstall); // exports Eagle
    const State exported = Now();
    ASSERT_EQ(exported.astrFiles, std::vector<std::string>{"Eagle.C2C"});
    ASSERT_EQ(exported.aAvailable.back().strName, "Eagle");
    ASSERT_EQ(exported.nAvailableSel, 3);

    Run(&CInstallerCore::Undo);
    State expected = before;
    expected.aAvailable = exported.aAvailable; // where its file is
    expected.astrFiles = exported.astrFiles;
    EXPECT_EQ(Now(), expected);
    EXPECT_EQ(m_window.m_mapInfo[IDC_INSTALLED_INFO], "Car: Eagle\r\n");

    // Redo removes the installed car only: an available car of its name exists now.
    Run(&CInstallerCore::Redo);
    EXPECT_EQ(Now(), exported);
    Run(&CInstallerCore::Undo);
    EXPECT_EQ(Now(), expected);
    EXPECT_EQ(ReadBytes("Eagle.C2C"), CarText("Eagle", "Eagle"));
}

TEST_F(UndoTest, AFailedCommandChangesAndRecordsNothing) {
    AddStandardCars();
    Select(0, 2);
    Run(&CInstallerCore::OnUp);
    Select(1, 1);
    const State before = Now();
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Create; });

    Run(&CInstallerCore::OnUninstall); // Hawk's export fails

    EXPECT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_EQ(Now(), before);
    Run(&CInstallerCore::Undo); // undoes the move up, not the failed command
    EXPECT_EQ(Now().aInstalled[2].strName, "Hawk");
    EXPECT_FALSE(m_core.CanUndo());
}

TEST_F(UndoTest, ANewStepDropsWhatCouldBeRedoneAndAnEmptyCommandIsNoStep) {
    AddStandardCars();
    Select(0, 0);
    Run(&CInstallerCore::OnUp); // the first line: nothing happens, no step
    EXPECT_FALSE(m_core.CanUndo());

    Run(&CInstallerCore::OnInstall);
    Run(&CInstallerCore::OnInstall);
    Run(&CInstallerCore::Undo);
    ASSERT_TRUE(m_core.CanRedo());
    Select(-1, 0);
    Run(&CInstallerCore::OnDown);
    EXPECT_FALSE(m_core.CanRedo());
    Run(&CInstallerCore::Redo); // nothing to redo: nothing happens
    EXPECT_EQ(Now().aInstalled.size(), 4u);
}

TEST_F(UndoTest, ThousandsOfStepsGoAllTheWayBackAndForth) {
    AddStandardCars();
    const State start = Now();
    Select(0, 0);
    constexpr int kSteps = 3000;
    for (int i = 0; i < kSteps; ++i)
        m_core.Run([&] { i % 2 == 1 ? m_core.OnUp() : m_core.OnDown(); });
    const State end = Now();
    for (int i = 0; i < kSteps; ++i)
        m_core.Undo();
    EXPECT_FALSE(m_core.CanUndo());
    State expected = start;
    expected.nAvailableSel = 0;
    expected.nInstalledSel = 0;
    EXPECT_EQ(Now(), expected);
    for (int i = 0; i < kSteps; ++i)
        m_core.Redo();
    EXPECT_EQ(Now(), end);
    ExpectMirrored();
}

TEST_F(UndoTest, RestoringAListIsOneStepAndLeavesTheAvailableCars) {
    AddStandardCars();
    Select(1, 2);
    const State before = Now();
    std::vector<std::unique_ptr<CarRecord>> apList;
    for (const char* pszName : {"Kite", "Beta", "Lark"}) {
        apList.push_back(std::make_unique<CarRecord>());
        apList.back()->m_strCarName = pszName;
        apList.back()->m_strFileBase = pszName;
    }
    m_core.RestoreInstalled(std::move(apList));
    ExpectMirrored();
    const State restored = Now();
    EXPECT_EQ(restored.aAvailable, before.aAvailable);
    ASSERT_EQ(restored.aInstalled.size(), 3u);
    EXPECT_EQ(restored.aInstalled[2].strName, "Lark");

    Run(&CInstallerCore::Undo);
    EXPECT_EQ(Now(), before);
    Run(&CInstallerCore::Redo);
    EXPECT_EQ(Now(), restored);

    std::vector<std::unique_ptr<CarRecord>> apTooMany(CInstallerCore::kMaxCars + 1);
    for (auto& pRecord : apTooMany)
        pRecord = std::make_unique<CarRecord>();
    m_core.RestoreInstalled(std::move(apTooMany));
    EXPECT_EQ(Now(), restored);
    EXPECT_EQ(m_window.m_aErrors.size(), 1u);
}

TEST_F(UndoTest, ALoadOrHidingTheDialogClearsTheHistory) {
    std::filesystem::create_directories("data/intrface/carimage");
    WriteBytes("data/opponent.txt", OpponentList({RecordText("Owl")}));
    m_core.InitPictures();
    AddStandardCars();
    Select(0, -1);
    Run(&CInstallerCore::OnInstall);
    m_core.Run([&] { m_core.LoadAll(); });
    EXPECT_FALSE(m_core.CanUndo());
    Run(&CInstallerCore::Undo);
    EXPECT_EQ(Now().aInstalled.size(), 1u);

    Select(-1, 0);
    Run(&CInstallerCore::OnUninstall);
    Run(&CInstallerCore::Undo);
    ASSERT_TRUE(m_core.CanRedo());
    m_core.OnShowWindow(false);
    EXPECT_FALSE(m_core.CanRedo());
}

// A straightforward model of the two lists: each step keeps whole copies of the installed list
// before and after it. The available list only ever grows, by exported cars, which stay.
class CListModel {
public:
    std::vector<Car> aAvailable;
    std::vector<Car> aInstalled;
    int nAvailableSel = -1;
    int nInstalledSel = -1;
    std::vector<std::string> astrFiles;

    void Install() {
        if (nAvailableSel < 0)
            return;
        Car copy = aAvailable[static_cast<std::size_t>(nAvailableSel)];
        copy.strFileBase.clear();
        Step([&] {
            aInstalled.push_back(copy);
            nInstalledSel = Last(aInstalled);
        });
    }
    void Uninstall() {
        if (nInstalledSel < 0)
            return;
        const Car car = aInstalled[static_cast<std::size_t>(nInstalledSel)];
        Step([&] {
            aInstalled.erase(aInstalled.begin() + nInstalledSel);
            nInstalledSel = -1;
            // Only a twin with the same text makes the export needless.
            for (const Car& available : aAvailable)
                if (available.strName == car.strName && available.strText == car.strText)
                    return;
            Car exported = car;
            exported.strFileBase.clear();
            aAvailable.push_back(exported);
            nAvailableSel = Last(aAvailable);
            std::string strFile = car.strName + ".C2C";
            for (int n = 2;
                 std::find(astrFiles.begin(), astrFiles.end(), strFile) != astrFiles.end(); ++n)
                strFile = car.strName + " (" + std::to_string(n) + ").C2C";
            astrFiles.push_back(strFile);
            std::sort(astrFiles.begin(), astrFiles.end());
        });
    }
    void Move(int nBy) {
        const int nTo = nInstalledSel + nBy;
        if (nInstalledSel < 0 || nTo < 0 || nTo > Last(aInstalled))
            return;
        Step([&] {
            std::swap(aInstalled[static_cast<std::size_t>(nInstalledSel)],
                      aInstalled[static_cast<std::size_t>(nTo)]);
            nInstalledSel = nTo;
        });
    }
    void Undo() {
        if (m_nDone == 0)
            return;
        const Snapshot& snapshot = m_aSteps[--m_nDone];
        aInstalled = snapshot.aInstalledBefore;
        SetSelections(snapshot.nAvailableBefore, snapshot.nInstalledBefore);
    }
    void Redo() {
        if (m_nDone == m_aSteps.size())
            return;
        const Snapshot& snapshot = m_aSteps[m_nDone++];
        aInstalled = snapshot.aInstalledAfter;
        SetSelections(snapshot.nAvailableAfter, snapshot.nInstalledAfter);
    }

private:
    struct Snapshot {
        std::vector<Car> aInstalledBefore, aInstalledAfter;
        int nAvailableBefore, nInstalledBefore, nAvailableAfter, nInstalledAfter;
    };
    static int Last(const std::vector<Car>& aCars) { return static_cast<int>(aCars.size()) - 1; }
    template <typename Change> void Step(Change change) {
        Snapshot snapshot{aInstalled, {}, nAvailableSel, nInstalledSel, 0, 0};
        change();
        snapshot.aInstalledAfter = aInstalled;
        snapshot.nAvailableAfter = nAvailableSel;
        snapshot.nInstalledAfter = nInstalledSel;
        m_aSteps.resize(m_nDone);
        m_aSteps.push_back(std::move(snapshot));
        m_nDone = m_aSteps.size();
    }
    void SetSelections(int nAvailable, int nInstalled) {
        nAvailableSel = nAvailable <= Last(aAvailable) ? nAvailable : -1;
        nInstalledSel = nInstalled <= Last(aInstalled) ? nInstalled : -1;
    }

    std::vector<Snapshot> m_aSteps;
    std::size_t m_nDone = 0;
};

TEST_F(UndoTest, RandomCommandsUndosAndRedosMatchTheModel) {
    for (unsigned nSeed = 1; nSeed <= 12; ++nSeed) {
        SCOPED_TRACE("seed " + std::to_string(nSeed));
        ClearFolder();
        m_core.OnShowWindow(false);
        AddStandardCars();
        CListModel model;
        const State start = Now();
        model.aAvailable = start.aAvailable;
        model.aInstalled = start.aInstalled;

        std::mt19937 random(nSeed);
        const auto pick = [&](int nCount) {
            return std::uniform_int_distribution<int>(-1, nCount - 1)(random);
        };
        for (int nOp = 0; nOp < 400; ++nOp) {
            switch (std::uniform_int_distribution<int>(0, 7)(random)) {
            case 0:
                model.nAvailableSel = pick(static_cast<int>(model.aAvailable.size()));
                model.nInstalledSel = pick(static_cast<int>(model.aInstalled.size()));
                Select(model.nAvailableSel, model.nInstalledSel);
                break;
            case 1:
                model.Install();
                Run(&CInstallerCore::OnInstall);
                break;
            case 2:
                model.Uninstall();
                Run(&CInstallerCore::OnUninstall);
                break;
            case 3:
                model.Move(-1);
                Run(&CInstallerCore::OnUp);
                break;
            case 4:
                model.Move(1);
                Run(&CInstallerCore::OnDown);
                break;
            case 5:
            case 6:
                model.Undo();
                Run(&CInstallerCore::Undo);
                break;
            default:
                model.Redo();
                Run(&CInstallerCore::Redo);
                break;
            }
            const State expected{model.aAvailable, model.aInstalled, model.nAvailableSel,
                                 model.nInstalledSel, model.astrFiles};
            ASSERT_EQ(Now(), expected) << "after operation " << nOp;
        }
        EXPECT_TRUE(m_window.m_aErrors.empty());
    }
}

TEST(PassedOverTextTest, OneLineEachThenHowManyMore) {
    CMemoryWindow window;
    CInstallerCore core(window);
    EXPECT_EQ(core.PassedOverText(), "");
    core.m_aPassedOver = {{"Rocket.c2c", "holds 7 of the 11 values a car needs"}};
    EXPECT_EQ(core.PassedOverText(), "Rocket.c2c: holds 7 of the 11 values a car needs");

    core.m_aPassedOver.clear();
    for (std::size_t i = 0; i < CInstallerCore::kMaxPassedOverLines + 12; ++i)
        core.m_aPassedOver.push_back({"car" + std::to_string(i) + ".c2c", "damaged"});
    const std::string strText = core.PassedOverText();
    EXPECT_EQ(std::count(strText.begin(), strText.end(), '\n'), 30);
    EXPECT_NE(strText.find("car29.c2c: damaged\r\n... and 12 more"), std::string::npos) << strText;
    EXPECT_EQ(strText.find("car30.c2c"), std::string::npos);
}

} // namespace
