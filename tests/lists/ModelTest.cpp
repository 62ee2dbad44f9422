// The installer's model against a reference written as plainly as possible: whole lists of
// values, the undo history as whole snapshots. Thousands of random command sequences over small
// game folders, then the rules the reference could share a mistake with, case by case.

#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "platform/FileException.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

using namespace gamefiles;
using namespace support;

namespace {

// A car with every field the window shows or Ok writes.
struct Car {
    std::string strName, strFileBase, strInfo, strText;
    int nImage = -1;
    bool operator==(const Car&) const = default;
};

// One list as the window shows it: its cars, its selection, the description and picture under it.
struct Side {
    std::vector<Car> aCars;
    int nSel = -1;
    std::string strInfo;
    int nImage = -1;
    bool operator==(const Side&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Side& side) {
    for (const Car& car : side.aCars)
        os << car.strName << "/" << car.strFileBase << "/" << car.nImage << " ";
    return os << "(sel " << side.nSel << ", image " << side.nImage << ", info \"" << side.strInfo
              << "\")";
}

Side SideOf(const CInstallerCore& core, CarList list) {
    Side side{{}, core.GetSelection(list), core.GetShownInfo(list), core.GetShownImage(list)};
    for (int i = 0; i < core.GetCount(list); ++i) {
        const CarRecord& r = core.GetCar(list, i);
        side.aCars.push_back(
            {r.m_strCarName, r.m_strFileBase, r.m_strInfo, r.m_strText, r.m_nImage});
    }
    return side;
}

std::unique_ptr<CarRecord> RecordOf(const Car& car) {
    return std::make_unique<CarRecord>(
        CarRecord{car.nImage, car.strName, car.strFileBase, car.strInfo, car.strText});
}

// The texts of the car files in the folder.
std::multiset<std::string> CarFileTexts() {
    std::multiset<std::string> texts;
    for (const std::string& strName : FolderNames())
        if (strName.size() > 4 && (strName.ends_with(".c2c") || strName.ends_with(".C2C")))
            texts.insert(ReadBytes(strName));
    return texts;
}

// The reference: what each command does, in the fewest words.
class CReference {
public:
    Side available, installed;
    std::multiset<std::string> files; // the texts the car files hold
    std::size_t nDone = 0;            // steps that can be undone

    // Applies the command; true when it did something (a list may have changed).
    bool Run(const ListCommand& command) {
        const Snapshot before = Now();
        const bool bDid = std::visit([&](const auto& c) { return Do(c); }, command);
        if (bDid && !std::holds_alternative<command::Undo>(command) &&
            !std::holds_alternative<command::Redo>(command)) {
            m_aSteps.resize(nDone);
            m_aSteps.push_back({before, Now()});
            nDone = m_aSteps.size();
        }
        return bDid;
    }
    [[nodiscard]] bool CanRedo() const { return nDone < m_aSteps.size(); }

private:
    struct Snapshot {
        std::vector<Car> aInstalled;
        int nSelAvailable, nSelInstalled;
    };
    struct Typed {
        std::string str;
        std::uint32_t nLastMs = 0;
    };

    Snapshot Now() const { return {installed.aCars, available.nSel, installed.nSel}; }
    static int Count(const Side& side) { return static_cast<int>(side.aCars.size()); }
    Side& Of(CarList list) { return list == CarList::Available ? available : installed; }
    static void Show(Side& side, int n) {
        side.nSel = n >= 0 && n < Count(side) ? n : -1;
        if (side.nSel < 0)
            return;
        const Car& car = side.aCars[static_cast<std::size_t>(side.nSel)];
        side.strInfo = car.strInfo;
        if (car.nImage != -1)
            side.nImage = car.nImage;
    }
    static Car Copy(Car car) {
        car.strFileBase.clear();
        return car;
    }
    bool InstallAt(int a, int p) {
        if (a < 0 || a >= Count(available) || p < 0 || p > Count(installed))
            return false;
        installed.aCars.insert(installed.aCars.begin() + p, Copy(available.aCars[a]));
        Show(installed, p);
        return true;
    }
    bool UninstallAt(int i) {
        if (i < 0 || i >= Count(installed))
            return false;
        const Car car = installed.aCars[static_cast<std::size_t>(i)];
        installed.aCars.erase(installed.aCars.begin() + i);
        installed.nSel = installed.nSel == i ? -1 : installed.nSel - (installed.nSel > i ? 1 : 0);
        if (std::none_of(available.aCars.begin(), available.aCars.end(), [&](const Car& a) {
                return a.strName == car.strName && a.strText == car.strText;
            })) {
            available.aCars.push_back(Copy(car));
            files.insert(car.strText);
            Show(available, Count(available) - 1);
        }
        return true;
    }
    bool Move(int nFrom, int nTo) {
        const int n = Count(installed);
        if (nFrom < 0 || nFrom >= n || nTo < 0 || nTo >= n || nFrom == nTo)
            return false;
        const Car car = installed.aCars[static_cast<std::size_t>(nFrom)];
        installed.aCars.erase(installed.aCars.begin() + nFrom);
        installed.aCars.insert(installed.aCars.begin() + nTo, car);
        Show(installed, nTo);
        return true;
    }
    bool PutBack(const Snapshot& snapshot) {
        installed.aCars = snapshot.aInstalled;
        Show(available, snapshot.nSelAvailable);
        Show(installed, snapshot.nSelInstalled);
        return true;
    }

    bool Do(command::Install) { return InstallAt(available.nSel, Count(installed)); }
    bool Do(command::Uninstall) { return UninstallAt(installed.nSel); }
    bool Do(command::Up) { return Move(installed.nSel, installed.nSel - 1); }
    bool Do(command::Down) { return Move(installed.nSel, installed.nSel + 1); }
    bool Do(command::Top) { return Move(installed.nSel, 0); }
    bool Do(command::Bottom) { return Move(installed.nSel, Count(installed) - 1); }
    bool Do(const command::Drop& d) {
        if (d.from == CarList::Installed && d.to == CarList::Installed)
            return Move(d.nItem, d.nPosition > d.nItem ? d.nPosition - 1 : d.nPosition);
        if (d.from == CarList::Available && d.to == CarList::Installed)
            return InstallAt(d.nItem, d.nPosition);
        if (d.from == CarList::Installed && d.to == CarList::Available)
            return UninstallAt(d.nItem);
        return false;
    }
    bool Do(const command::Select& s) {
        Show(Of(s.list), s.nIndex);
        return false;
    }
    bool Do(const command::TypeAhead& t) {
        Typed& typed = t.list == CarList::Available ? m_typedAvailable : m_typedInstalled;
        if (t.nTimeMs - typed.nLastMs >= command::TypeAhead::kTypeAheadPauseMs)
            typed.str.clear();
        typed.nLastMs = t.nTimeMs;
        typed.str += static_cast<char>(std::tolower(t.c));
        Side& side = Of(t.list);
        for (int i = 0; i < Count(side); ++i) {
            std::string strStart =
                side.aCars[static_cast<std::size_t>(i)].strName.substr(0, typed.str.size());
            for (char& c : strStart)
                c = static_cast<char>(std::tolower(c));
            if (strStart == typed.str) {
                Show(side, i);
                break;
            }
        }
        return false;
    }
    bool Do(command::Undo) { return nDone > 0 && PutBack(m_aSteps[--nDone].before); }
    bool Do(command::Redo) { return CanRedo() && PutBack(m_aSteps[nDone++].after); }
    bool Do(const command::Restore& r) {
        const bool bDid = !installed.aCars.empty() || !r.apRecords.empty();
        installed.aCars.clear();
        for (const auto& pRecord : r.apRecords)
            installed.aCars.push_back({pRecord->m_strCarName, pRecord->m_strFileBase,
                                       pRecord->m_strInfo, pRecord->m_strText, pRecord->m_nImage});
        installed.nSel = -1;
        return bDid;
    }
    bool Do(command::Load) { return false; } // never drawn
    bool Do(command::Clear) { return false; }

    struct Step {
        Snapshot before, after;
    };
    std::vector<Step> m_aSteps;
    Typed m_typedAvailable, m_typedInstalled;
};

// Whether the changed lines, applied to the lines before, give the lines after.
bool Applies(const LineChange& c, const std::vector<Car>& aOld, const std::vector<Car>& aNew) {
    if (c.nFirst < 0 || c.nFirst > c.nOldEnd || c.nOldEnd > static_cast<int>(aOld.size()) ||
        c.nFirst > c.nNewEnd || c.nNewEnd > static_cast<int>(aNew.size()))
        return false;
    std::vector<Car> aLines(aOld.begin(), aOld.begin() + c.nFirst);
    aLines.insert(aLines.end(), aNew.begin() + c.nFirst, aNew.begin() + c.nNewEnd);
    aLines.insert(aLines.end(), aOld.begin() + c.nOldEnd, aOld.end());
    return aLines == aNew;
}

// Names shared between the lists and differing only in case; each car in a stock or a tuned
// version (another text, file base and description). Three of the file bases have a picture.
constexpr const char* kCarNames[] = {"Eagle", "eagle", "Hawk", "Kite", "Sierra", "silver"};
constexpr const char* kPictured[] = {"EAGLE", "KITE", "SILVERT"};

std::string RandomText(std::mt19937& random) {
    const std::string strName = kCarNames[random() % std::size(kCarNames)];
    std::string strBase = strName;
    for (char& c : strBase)
        c = static_cast<char>(std::toupper(c));
    return random() % 3 == 0 ? RecordText(strName, strBase + "T", "Tuned")
                             : RecordText(strName, strBase, "Stock");
}

ListCommand RandomCommand(std::mt19937& random, const CReference& ref,
                          const std::vector<Car>& aPool, std::uint32_t& nClock) {
    const auto pick = [&](int nLow, int nHigh) {
        return std::uniform_int_distribution<int>(nLow, nHigh)(random);
    };
    const int nInstalled = static_cast<int>(ref.installed.aCars.size());
    const CarList list = pick(0, 1) == 0 ? CarList::Available : CarList::Installed;
    const int nCount =
        list == CarList::Available ? static_cast<int>(ref.available.aCars.size()) : nInstalled;
    constexpr std::optional<CarList> kTargets[] = {std::nullopt, CarList::Available,
                                                   CarList::Installed, CarList::Installed};
    constexpr std::uint32_t kPauses[] = {50, 400, 999, 1000, 3000};
    constexpr std::string_view kTyped = "eEhHkKsSiIlLx ";
    const std::function<ListCommand()> aMakers[] = {
        [] { return command::Install{}; },
        [] { return command::Uninstall{}; },
        [] { return command::Up{}; },
        [] { return command::Down{}; },
        [] { return command::Top{}; },
        [] { return command::Bottom{}; },
        [&] {
            return command::Drop{list, pick(-1, nCount), kTargets[pick(0, 3)],
                                 pick(-1, nInstalled + 1)};
        },
        [&] {
            return command::Select{list, pick(-2, nCount)};
        },
        [&] {
            nClock += kPauses[pick(0, 4)];
            return command::TypeAhead{list, kTyped[static_cast<std::size_t>(pick(0, 13))], nClock};
        },
        [] { return command::Undo{}; },
        [] { return command::Redo{}; },
        [&] {
            command::Restore restore;
            for (int n = pick(0, 4); n > 0; --n)
                restore.apRecords.push_back(RecordOf(
                    aPool[static_cast<std::size_t>(pick(0, static_cast<int>(aPool.size()) - 1))]));
            return restore;
        },
    };
    // How often each comes, in the order above.
    return aMakers[std::discrete_distribution<int>({2, 2, 1, 1, 1, 1, 1, 3, 1, 2, 2, 1})(random)]();
}

using Names_t = std::vector<std::string>;
constexpr CarList kAvailable = CarList::Available;
constexpr CarList kInstalled = CarList::Installed;

class ModelTest : public CTempFolderTest {
protected:
    // Car files car0.c2c, car1.c2c, ... (listed in that order, up to ten) and the opponent list,
    // loaded by a fresh model.
    void Load(const Names_t& astrAvailable, const Names_t& astrInstalled) {
        for (std::size_t i = 0; i < astrAvailable.size(); ++i)
            WriteBytes("car" + std::to_string(i) + ".c2c", astrAvailable[i]);
        WriteBytes("data/opponent.txt", OpponentList(astrInstalled));
        m_pWindow = std::make_unique<CTestWindow>();
        m_pCore = std::make_unique<CInstallerCore>(*m_pWindow, m_pictures);
        m_pCore->Apply(command::Load{});
    }
    ModelChange Apply(ListCommand command) { return m_pCore->Apply(std::move(command)); }
    Names_t Installed() const { return Names(*m_pCore, kInstalled); }
    std::pair<Side, Side> View() const {
        return {SideOf(*m_pCore, kAvailable), SideOf(*m_pCore, kInstalled)};
    }

    CTestPictures m_pictures;
    std::unique_ptr<CTestWindow> m_pWindow;
    std::unique_ptr<CInstallerCore> m_pCore;
};

TEST_F(ModelTest, RandomCommandSequencesMatchTheReference) {
    constexpr unsigned kSequences = 2000;
    for (const char* pszBase : kPictured)
        WriteBytes(CarImageFolder() + pszBase + "CI.TWT", Archive({}));
    for (unsigned nSeed = 1; nSeed <= kSequences; ++nSeed) {
        std::mt19937 random(nSeed);
        // The game's data stay from one sequence to the next; the car files go.
        for (const std::string& strName : FolderNames())
            if (strName != "data")
                std::filesystem::remove(strName);
        Names_t astrAvailable(random() % 6), astrInstalled(random() % 7);
        for (Names_t* p : {&astrAvailable, &astrInstalled})
            std::generate(p->begin(), p->end(), [&] { return RandomText(random); });
        Load(astrAvailable, astrInstalled);
        CInstallerCore& core = *m_pCore;

        CReference ref;
        std::tie(ref.available, ref.installed) = View();
        ref.files = {astrAvailable.begin(), astrAvailable.end()};
        // What a restore may put back: these cars, and one that no file has.
        std::vector<Car> aPool = ref.available.aCars;
        aPool.insert(aPool.end(), ref.installed.aCars.begin(), ref.installed.aCars.end());
        Names_t astrListed;
        for (const Car& car : aPool)
            astrListed.push_back(car.strText);
        astrAvailable.insert(astrAvailable.end(), astrInstalled.begin(), astrInstalled.end());
        ASSERT_EQ(astrListed, astrAvailable) << "seed " << nSeed << ": the load";
        ASSERT_TRUE(core.IsLoaded());
        aPool.push_back({"Lark", "LARK", "Car: Lark\r\n", RecordText("Lark", "LARK"), -1});

        // Every 500th sequence is long, so that the history runs thousands of steps deep. After
        // the random commands, undo goes all the way back and redo all the way forth.
        const int nCommands = nSeed % 500 == 0 ? 3000 : static_cast<int>(random() % 40);
        std::uint32_t nClock = 5000;
        bool bForth = false;
        for (int n = 0;; ++n) {
            ListCommand command;
            if (n < nCommands)
                command = RandomCommand(random, ref, aPool, nClock);
            else if (!bForth && ref.nDone > 0)
                command = command::Undo{};
            else if ((bForth = ref.CanRedo()))
                command = command::Redo{};
            else
                break;
            const std::size_t nKind = command.index();
            const Side availableBefore = ref.available, installedBefore = ref.installed;
            const std::size_t nFiles = ref.files.size();
            const bool bDid = ref.Run(command);
            const ModelChange change = core.Apply(std::move(command));

            EXPECT_EQ(SideOf(core, kAvailable), ref.available);
            EXPECT_EQ(SideOf(core, kInstalled), ref.installed);
            EXPECT_EQ(core.CanUndo(), ref.nDone > 0);
            EXPECT_EQ(core.CanRedo(), ref.CanRedo());
            EXPECT_TRUE(core.IsLoaded());
            EXPECT_TRUE(Applies(change.available, availableBefore.aCars, ref.available.aCars));
            EXPECT_TRUE(Applies(change.installed, installedBefore.aCars, ref.installed.aCars));
            EXPECT_TRUE(bDid || (!change.available.Any() && !change.installed.Any()))
                << "a command that did nothing changed lines";
            if (ref.files.size() != nFiles) {
                EXPECT_EQ(CarFileTexts(), ref.files) << "the exported car's file";
            }
            if (HasFailure()) {
                ADD_FAILURE() << "seed " << nSeed << ", command " << n << " of kind " << nKind;
                return;
            }
        }
        EXPECT_EQ(CarFileTexts(), ref.files);
        ASSERT_EQ(m_pWindow->m_astrErrors, Names_t{}) << "seed " << nSeed;
    }
}

// Cases of rules the reference could share a mistake with.

TEST_F(ModelTest, UninstallExportsUnlessACarFileHoldsTheSameText) {
    const std::string strStock = RecordText("Eagle", "EAGLE", "Stock");
    const std::string strTuned = RecordText("Eagle", "EAGLE", "Tuned");
    const std::string strLower = RecordText("eagle", "EAGLE", "Stock");
    WriteBytes("EAGLE.C2C", "someone else's file"); // not a car: passed over, never overwritten
    Load({strStock}, {strTuned, strStock, strLower});
    for (int n = 0; n < 3; ++n) {
        Apply(command::Select{kInstalled, 0});
        Apply(command::Uninstall{});
    }
    // The tuned car went beside the file of its name, the stock one only went, and "eagle"
    // (names match with case) went beside both.
    EXPECT_EQ(Names(*m_pCore, kAvailable), (Names_t{"Eagle", "Eagle", "eagle"}));
    EXPECT_EQ(FolderNames(),
              (Names_t{"EAGLE.C2C", "Eagle (2).C2C", "car0.c2c", "data", "eagle (3).C2C"}));
    EXPECT_EQ(ReadBytes("EAGLE.C2C"), "someone else's file");
    EXPECT_EQ(ReadBytes("Eagle (2).C2C"), strTuned);
    EXPECT_EQ(ReadBytes("eagle (3).C2C"), strLower);
    EXPECT_EQ(Installed(), Names_t{});
}

TEST_F(ModelTest, UndoOfAnExportKeepsTheExportedCarListed) {
    Load({RecordText("Alpha", "ALPHA")}, {RecordText("Hawk", "HAWK")});
    Apply(command::Select{kInstalled, 0});
    const Side installedBefore = SideOf(*m_pCore, kInstalled);
    Apply(command::Uninstall{});
    const auto exported = View();
    ASSERT_EQ(Names(*m_pCore, kAvailable), (Names_t{"Alpha", "Hawk"}));
    for (int nRound = 0; nRound < 2; ++nRound) {
        Apply(command::Undo{});
        // Its file stays, and so does its line; the selection is as before.
        Side available = exported.first;
        available.nSel = -1;
        EXPECT_EQ(View(), std::pair(available, installedBefore));
        // Redo takes the installed car out only: an available car holds it now.
        Apply(command::Redo{});
        EXPECT_EQ(View(), exported);
    }
    EXPECT_EQ(FolderNames(), (Names_t{"Hawk.C2C", "car0.c2c", "data"}));
    EXPECT_EQ(ReadBytes("Hawk.C2C"), RecordText("Hawk", "HAWK"));
}

// However the export fails (the disk refuses the file, or every name it may take is taken), the
// uninstall is taken back whole: the car stays installed.
TEST_F(ModelTest, AFailedExportChangesAndRecordsNothing) {
    const std::vector<std::function<void()>> aFailures = {
        [] {
            SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Create; });
        },
        [] {
            WriteBytes("Eagle.C2C", "");
            for (int n = 2; n <= kMaxCarFileNameTries; ++n)
                WriteBytes("Eagle (" + std::to_string(n) + ").C2C", "");
        },
    };
    for (const auto& fail : aFailures) {
        Load({RecordText("Alpha", "ALPHA")},
             {RecordText("Alpha", "ALPHA"), RecordText("Eagle", "EAGLE")});
        Apply(command::Select{kInstalled, 1});
        Apply(command::Up{});
        Apply(command::Select{kAvailable, 0});
        const auto before = View();
        fail();
        const Names_t astrFiles = FolderNames();

        EXPECT_THROW(Apply(command::Uninstall{}), CFileException); // Eagle's export
        EXPECT_THROW(Apply(command::Drop{kInstalled, 0, kAvailable, -1}), CFileException);

        SetFileFaultHook({});
        EXPECT_EQ(View(), before);
        EXPECT_EQ(FolderNames(), astrFiles);
        EXPECT_FALSE(m_pCore->CanRedo());
        Apply(command::Undo{}); // the move up, not a failed command
        EXPECT_EQ(Installed(), (Names_t{"Alpha", "Eagle"}));
        EXPECT_FALSE(m_pCore->CanUndo());
    }
}

TEST_F(ModelTest, CommandsWithNothingToDoChangeAndRecordNothing) {
    Load({RecordText("A")}, {RecordText("A"), RecordText("B"), RecordText("C")});
    const auto expectNothing = [&](ListCommand command) {
        const auto before = View();
        const ModelChange change = Apply(std::move(command));
        EXPECT_FALSE(change.available.Any() || change.installed.Any());
        EXPECT_EQ(View(), before);
        EXPECT_FALSE(m_pCore->CanUndo());
    };
    using command::Drop;
    // Without a selection (a line that does not exist selects none).
    for (const int nLine : {-1, 5}) {
        Apply(command::Select{kAvailable, nLine});
        Apply(command::Select{kInstalled, nLine});
        expectNothing(command::Install{});
        expectNothing(command::Uninstall{});
        expectNothing(command::Up{});
        expectNothing(command::Down{});
        expectNothing(command::Top{});
        expectNothing(command::Bottom{});
        expectNothing(command::Undo{});
        expectNothing(command::Redo{});
    }
    // At the ends of the list, onto a car's own line or the next, within or outside the lists,
    // and for cars and places that do not exist.
    Apply(command::Select{kInstalled, 0});
    expectNothing(command::Up{});
    expectNothing(command::Top{});
    Apply(command::Select{kInstalled, 2});
    expectNothing(command::Down{});
    expectNothing(command::Bottom{});
    for (const auto& [nItem, nPosition] : {std::pair{1, 1}, {1, 2}, {3, 0}, {-1, 0}})
        expectNothing(Drop{kInstalled, nItem, kInstalled, nPosition});
    for (const auto& [nItem, nPosition] : {std::pair{0, 4}, {0, -1}, {1, 0}, {-1, 0}})
        expectNothing(Drop{kAvailable, nItem, kInstalled, nPosition});
    expectNothing(Drop{kAvailable, 0, kAvailable, -1});
    expectNothing(Drop{kInstalled, 1, std::nullopt, -1});
    expectNothing(Drop{kAvailable, 0, std::nullopt, -1});
    expectNothing(Drop{kInstalled, 3, kAvailable, -1});
}

TEST_F(ModelTest, DropsLandBeforeTheLineDroppedOn) {
    Load({RecordText("Alpha")},
         {RecordText("A"), RecordText("B"), RecordText("C"), RecordText("Alpha")});
    const auto drop = [&](CarList from, int nItem, CarList to, int nPosition) {
        Apply(command::Drop{from, nItem, to, nPosition});
        return Installed();
    };
    EXPECT_EQ(drop(kInstalled, 0, kInstalled, 2), (Names_t{"B", "A", "C", "Alpha"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled), 1) << "A dropped before C is between B and C";
    EXPECT_EQ(drop(kInstalled, 2, kInstalled, 0), (Names_t{"C", "B", "A", "Alpha"}));
    EXPECT_EQ(drop(kInstalled, 0, kInstalled, 4), (Names_t{"B", "A", "Alpha", "C"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled), 3) << "below the last line";
    EXPECT_EQ(drop(kAvailable, 0, kInstalled, 1), (Names_t{"B", "Alpha", "A", "Alpha", "C"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled), 1);
    EXPECT_EQ(drop(kInstalled, 3, kAvailable, -1), (Names_t{"B", "Alpha", "A", "C"}));
    EXPECT_EQ(drop(kInstalled, 3, kAvailable, -1), (Names_t{"B", "Alpha", "A"}));
    EXPECT_EQ(Names(*m_pCore, kAvailable), (Names_t{"Alpha", "C"}));
    EXPECT_EQ(ReadBytes("C.C2C"), RecordText("C"));
}

TEST_F(ModelTest, TypingSelectsTheFirstCarBeginningWithIt) {
    Names_t astrCars;
    for (const char* pszName : {"Ice Cream", "silver Arrow", "Sierra", "Silver Bullet", "sly"})
        astrCars.push_back(RecordText(pszName));
    Load(astrCars, {RecordText("Sierra")});
    const auto type = [&](const char* psz, std::uint32_t nStartMs, CarList list = kAvailable) {
        for (std::uint32_t n = 0; psz[n] != '\0'; ++n)
            Apply(command::TypeAhead{list, psz[n], nStartMs + 300 * n});
        return m_pCore->GetSelection(list);
    };
    EXPECT_EQ(type("si", 5000), 1) << "not the first car beginning with the last letter typed";
    EXPECT_NE(m_pCore->GetShownInfo(kAvailable).find("silver Arrow"), std::string::npos);
    EXPECT_EQ(type("er", 5600), 2) << "within a second the typing goes on: \"sier\"";
    EXPECT_EQ(type("SILVER B", 10000), 3) << "case ignored, spaces count";
    EXPECT_EQ(type("x", 20000), 3) << "no car begins so: the selection stays";
    EXPECT_EQ(type("i", 20500), 3) << "\"xi\" matches nothing either";
    EXPECT_EQ(type("i", 21500), 0) << "a second's pause starts afresh";
    EXPECT_EQ(type("s", 30000, kInstalled), 0) << "each list by itself";
    EXPECT_EQ(m_pCore->GetSelection(kAvailable), 0);
    // The clock wraps after 49 days; a key just after that is still within the second.
    EXPECT_EQ(type("sl", 0xFFFFFF00u), 4);
}

// 2001 car files and an opponent list of 2001: the lists take 2000 each and say so, Ok refuses
// the list cut short, and no command can make either list longer.
TEST_F(ModelTest, FullListsRefuseMoreCarsAndSayWhy) {
    Names_t astrAvailable, astrInstalled;
    for (int i = 0; i <= CInstallerCore::kMaxCars; ++i) {
        astrAvailable.push_back(CarText("Car" + std::to_string(i)));
        astrInstalled.push_back(CarText("Opponent" + std::to_string(i)));
    }
    Load(astrAvailable, astrInstalled);
    const Names_t& astrErrors = m_pWindow->m_astrErrors;
    ASSERT_EQ(astrErrors.size(), 2u);
    EXPECT_EQ(astrErrors[0], "Only the first 2000 add-on cars are listed.");
    EXPECT_NE(astrErrors[1].find("more than 2000"), std::string::npos) << astrErrors[1];
    EXPECT_EQ(m_pCore->GetCount(kAvailable), CInstallerCore::kMaxCars);
    EXPECT_EQ(m_pCore->GetCount(kInstalled), CInstallerCore::kMaxCars);
    const std::string strList = ReadBytes("data/opponent.txt");
    EXPECT_FALSE(m_pCore->IsLoaded());
    EXPECT_FALSE(m_pCore->SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strList);

    Apply(command::Select{kAvailable, 0});
    Apply(command::Select{kInstalled, 5});
    const auto before = View();
    const Names_t astrFiles = FolderNames();
    Apply(command::Install{});
    Apply(command::Uninstall{}); // would export Opponent5 into the full available list
    command::Restore restore;
    for (int i = 0; i <= CInstallerCore::kMaxCars; ++i)
        restore.apRecords.push_back(std::make_unique<CarRecord>());
    Apply(std::move(restore));
    EXPECT_EQ(
        Names_t(astrErrors.begin() + 3, astrErrors.end()),
        (Names_t{"The installed list is full: it holds at most 2000 cars. Nothing was changed.",
                 "The available list is full: it holds at most 2000 cars. Nothing was changed.",
                 "That list holds more than 2000 opponents, more than the installed list can "
                 "hold. Nothing was changed."}));
    EXPECT_EQ(View(), before);
    EXPECT_EQ(FolderNames(), astrFiles);
    EXPECT_FALSE(m_pCore->CanUndo());
}

} // namespace
