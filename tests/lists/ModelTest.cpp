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
#include <tuple>

using namespace gamefiles;
using namespace support;

namespace {

// A car with every field the window shows or Ok writes.
struct Car {
    std::string strName, strFileBase, strInfo, strText;
    int nImage = -1;
    bool operator==(const Car&) const = default;
};

// One list as the window shows it: its cars, its selection and caret, the description and
// picture under it.
struct Side {
    std::vector<Car> aCars;
    std::set<int> sel;
    int nCaret = -1;
    std::string strInfo;
    int nImage = -1;
    bool operator==(const Side&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Side& side) {
    for (const Car& car : side.aCars)
        os << car.strName << "/" << car.strFileBase << "/" << car.nImage << " ";
    os << "(sel";
    for (const int n : side.sel)
        os << " " << n;
    return os << ", caret " << side.nCaret << ", image " << side.nImage << ", info \""
              << side.strInfo << "\")";
}

Side SideOf(const CInstallerCore& core, CarList list) {
    const Selection& selection = core.GetSelection(list);
    Side side{{},
              {selection.anLines.begin(), selection.anLines.end()},
              selection.nCaret,
              core.GetShownInfo(list),
              core.GetShownImage(list)};
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

    // Applies the command; true when it changed a list.
    bool Run(const ListCommand& command) {
        const Snapshot before = Now();
        m_strName.clear();
        m_bDid = false;
        std::visit([&](const auto& c) { Do(c); }, command);
        const bool bDid = m_bDid;
        if (bDid && !std::holds_alternative<command::Undo>(command) &&
            !std::holds_alternative<command::Redo>(command)) {
            m_aSteps.resize(nDone);
            m_aSteps.push_back({before, Now(), m_strName});
            nDone = m_aSteps.size();
        }
        return bDid;
    }
    [[nodiscard]] bool CanRedo() const { return nDone < m_aSteps.size(); }
    [[nodiscard]] std::string UndoName() const {
        return nDone > 0 ? m_aSteps[nDone - 1].strName : "";
    }
    [[nodiscard]] std::string RedoName() const { return CanRedo() ? m_aSteps[nDone].strName : ""; }

private:
    struct Snapshot {
        std::vector<Car> aInstalled;
        std::set<int> selAvailable, selInstalled;
        int nCaretAvailable, nCaretInstalled;
    };
    struct Typed {
        std::string str;
        std::uint32_t nLastMs = 0;
    };

    Snapshot Now() const {
        return {installed.aCars, available.sel, installed.sel, available.nCaret, installed.nCaret};
    }
    static int Count(const Side& side) { return static_cast<int>(side.aCars.size()); }
    Side& Of(CarList list) { return list == CarList::Available ? available : installed; }
    static void Select(Side& side, const std::set<int>& sel, int nCaret) {
        side.sel.clear();
        for (const int n : sel)
            if (n >= 0 && n < Count(side))
                side.sel.insert(n);
        side.nCaret = nCaret >= 0 && nCaret < Count(side) ? nCaret
                      : side.sel.empty()                  ? -1
                                                          : *side.sel.begin();
        if (side.sel.empty()) {
            // No count of a selection that is gone.
            if (const auto nEnd = side.strInfo.find(" cars selected\r\n");
                nEnd != std::string::npos && side.strInfo.find_first_not_of("0123456789") == nEnd)
                side.strInfo.erase(0, nEnd + 16);
            return;
        }
        const Car& car = side.aCars[static_cast<std::size_t>(side.nCaret)];
        side.strInfo =
            (side.sel.size() > 1 ? std::to_string(side.sel.size()) + " cars selected\r\n" : "") +
            car.strInfo;
        if (car.nImage != -1)
            side.nImage = car.nImage;
    }
    static void SelectOne(Side& side, int n) { Select(side, {n}, n); }
    static Car Copy(Car car) {
        car.strFileBase.clear();
        return car;
    }
    void Name(const char* szVerb, const std::vector<Car>& aCars) {
        m_strName = std::string(szVerb) + " " +
                    (aCars.size() == 1 ? aCars[0].strName : std::to_string(aCars.size()) + " Cars");
    }
    // The dragged line, with its list's selection when it is selected.
    std::set<int> Dragged(const Side& side, int n) const {
        if (n < 0 || n >= Count(side))
            return {};
        return side.sel.count(n) > 0 ? side.sel : std::set<int>{n};
    }
    void InstallAt(const std::set<int>& lines, int p) {
        if (lines.empty() || p < 0 || p > Count(installed))
            return;
        std::vector<Car> aCars;
        std::set<int> sel;
        for (const int a : lines) {
            sel.insert(p + static_cast<int>(aCars.size()));
            aCars.push_back(Copy(available.aCars[static_cast<std::size_t>(a)]));
        }
        installed.aCars.insert(installed.aCars.begin() + p, aCars.begin(), aCars.end());
        Select(installed, sel, p);
        Name("Install", aCars);
        m_bDid = true;
    }
    void Uninstall(const std::set<int> lines) { // a copy: the selection goes
        if (lines.empty())
            return;
        std::vector<Car> aLeaving;
        std::set<int> exported;
        for (const int i : lines) {
            const Car car = installed.aCars[static_cast<std::size_t>(i)];
            aLeaving.push_back(car);
            if (std::none_of(available.aCars.begin(), available.aCars.end(), [&](const Car& a) {
                    return a.strName == car.strName && a.strText == car.strText;
                })) {
                exported.insert(Count(available));
                available.aCars.push_back(Copy(car));
                files.insert(car.strText);
            }
        }
        std::vector<Car> aStaying;
        for (int i = 0; i < Count(installed); ++i)
            if (lines.count(i) == 0)
                aStaying.push_back(installed.aCars[static_cast<std::size_t>(i)]);
        installed.aCars = aStaying;
        // Lines that stay keep their selection and caret; those that went take theirs along.
        const auto staying = [&](int n) {
            return lines.count(n) > 0
                       ? -1
                       : n - static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                                            [n](int i) { return i < n; }));
        };
        std::set<int> sel;
        for (const int n : installed.sel)
            if (staying(n) >= 0)
                sel.insert(staying(n));
        Select(installed, sel, installed.nCaret < 0 ? -1 : staying(installed.nCaret));
        if (!exported.empty())
            Select(available, exported, *exported.begin());
        Name("Uninstall", aLeaving);
        m_bDid = true;
    }
    // The installed cars put on the lines given for each (-1: wherever is left, in order); the
    // selection and caret follow their cars.
    void Place(const std::vector<int>& anNewLine, const char* szVerb) {
        const std::size_t n = installed.aCars.size();
        std::vector<std::optional<Car>> aPlaced(n);
        std::vector<int> anWhere(n, -1);
        for (std::size_t i = 0; i < n; ++i)
            if (anNewLine[i] >= 0)
                aPlaced[static_cast<std::size_t>(anNewLine[i])] = installed.aCars[i];
        std::size_t nFree = 0;
        for (std::size_t i = 0; i < n; ++i) {
            int nLine = anNewLine[i];
            if (nLine < 0) {
                while (aPlaced[nFree])
                    ++nFree;
                aPlaced[nFree] = installed.aCars[i];
                nLine = static_cast<int>(nFree);
            }
            anWhere[i] = nLine;
            m_bDid = m_bDid || nLine != static_cast<int>(i);
        }
        std::vector<Car> aMoved;
        std::set<int> sel;
        for (const int i : installed.sel) {
            aMoved.push_back(installed.aCars[static_cast<std::size_t>(i)]);
            sel.insert(anWhere[static_cast<std::size_t>(i)]);
        }
        const int nCaret =
            installed.nCaret >= 0 ? anWhere[static_cast<std::size_t>(installed.nCaret)] : -1;
        installed.aCars.clear();
        for (const std::optional<Car>& car : aPlaced)
            installed.aCars.push_back(*car);
        Select(installed, sel, nCaret);
        if (!aMoved.empty())
            Name(szVerb, aMoved);
    }
    // A selected car goes one line up unless every line above it is selected too.
    void Step(int nDirection, const char* szVerb) {
        const int n = Count(installed);
        std::vector<int> anNewLine(static_cast<std::size_t>(n), -1);
        for (const int i : installed.sel) {
            bool bBlocked = true;
            for (int j = i + nDirection; j >= 0 && j < n; j += nDirection)
                bBlocked = bBlocked && installed.sel.count(j) > 0;
            anNewLine[static_cast<std::size_t>(i)] = bBlocked ? i : i + nDirection;
        }
        Place(anNewLine, szVerb);
    }
    // The selected cars, in order, before line p of the others.
    void MoveBefore(int p, const char* szVerb) {
        std::vector<int> anNewLine(installed.aCars.size(), -1);
        int nLine = p;
        for (int i = 0; i < p; ++i)
            nLine -= static_cast<int>(installed.sel.count(i));
        for (const int i : installed.sel)
            anNewLine[static_cast<std::size_t>(i)] = nLine++;
        Place(anNewLine, szVerb);
    }

    void Do(command::Install) { InstallAt(available.sel, Count(installed)); }
    void Do(command::Uninstall) { Uninstall(installed.sel); }
    void Do(command::Up) { Step(-1, "Move Up"); }
    void Do(command::Down) { Step(1, "Move Down"); }
    void Do(command::Top) { MoveBefore(0, "Move to Top"); }
    void Do(command::Bottom) { MoveBefore(Count(installed), "Move to Bottom"); }
    void Do(const command::Drop& d) {
        const std::set<int> lines = Dragged(Of(d.from), d.nItem);
        if (lines.empty())
            return;
        if (d.from == d.to && (d.from == CarList::Available || d.nPosition == d.nItem ||
                               d.nPosition == d.nItem + 1)) {
            SelectOne(Of(d.from), d.nItem);
        } else if (d.from == CarList::Installed && d.to == CarList::Installed) {
            if (d.nPosition < 0 || d.nPosition > Count(installed))
                return;
            Select(installed, lines, d.nItem);
            MoveBefore(d.nPosition, "Move");
        } else if (d.from == CarList::Available && d.to == CarList::Installed) {
            InstallAt(lines, d.nPosition);
        } else if (d.from == CarList::Installed && d.to == CarList::Available) {
            Uninstall(lines);
        }
    }
    void Do(const command::Select& s) { SelectOne(Of(s.list), s.nIndex); }
    void Do(const command::SelectLines& s) {
        Select(Of(s.list), {s.selection.anLines.begin(), s.selection.anLines.end()},
               s.selection.nCaret);
    }
    void Do(const command::SelectAll& s) {
        Side& side = Of(s.list);
        std::set<int> all;
        for (int i = 0; i < Count(side); ++i)
            all.insert(i);
        Select(side, all, side.nCaret >= 0 ? side.nCaret : 0);
    }
    void Do(const command::TypeAhead& t) {
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
                SelectOne(side, i);
                break;
            }
        }
    }
    void PutBack(const Snapshot& snapshot) {
        installed.aCars = snapshot.aInstalled;
        Select(available, snapshot.selAvailable, snapshot.nCaretAvailable);
        Select(installed, snapshot.selInstalled, snapshot.nCaretInstalled);
    }
    void Do(command::Undo) {
        if ((m_bDid = nDone > 0))
            PutBack(m_aSteps[--nDone].before);
    }
    void Do(command::Redo) {
        if ((m_bDid = CanRedo()))
            PutBack(m_aSteps[nDone++].after);
    }
    void Do(const command::Restore& r) {
        m_bDid = !installed.aCars.empty() || !r.apRecords.empty();
        installed.aCars.clear();
        for (const auto& pRecord : r.apRecords)
            installed.aCars.push_back({pRecord->m_strCarName, pRecord->m_strFileBase,
                                       pRecord->m_strInfo, pRecord->m_strText, pRecord->m_nImage});
        Select(installed, {}, -1);
        m_strName = "Restore Opponent List";
    }
    void Do(command::Load) {} // never drawn
    void Do(command::Clear) {}

    struct UndoStep {
        Snapshot before, after;
        std::string strName;
    };
    std::vector<UndoStep> m_aSteps;
    std::string m_strName;
    bool m_bDid = false; // the command changed a list
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
            // Lines out of range and a caret off the selection too, as no list box sends.
            command::SelectLines select{list, {{}, pick(-2, nCount)}};
            for (int n = pick(0, 4); n > 0; --n)
                select.selection.anLines.push_back(pick(-1, nCount));
            std::sort(select.selection.anLines.begin(), select.selection.anLines.end());
            return select;
        },
        [&] { return command::SelectAll{list}; },
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
    return aMakers[std::discrete_distribution<int>({2, 2, 1, 1, 1, 1, 2, 2, 3, 1, 1, 2, 2, 1})(
        random)]();
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
            EXPECT_EQ(SideOf(core, kInstalled), ref.installed) << installedBefore;
            EXPECT_EQ(core.CanUndo(), ref.nDone > 0);
            EXPECT_EQ(core.CanRedo(), ref.CanRedo());
            EXPECT_EQ(core.GetUndoName(), ref.UndoName());
            EXPECT_EQ(core.GetRedoName(), ref.RedoName());
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
        available.sel.clear();
        available.nCaret = -1;
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
    for (const auto& [nItem, nPosition] : {std::pair{3, 0}, {-1, 0}, {1, 5}, {1, -1}})
        expectNothing(Drop{kInstalled, nItem, kInstalled, nPosition});
    for (const auto& [nItem, nPosition] : {std::pair{0, 4}, {0, -1}, {1, 0}, {-1, 0}})
        expectNothing(Drop{kAvailable, nItem, kInstalled, nPosition});
    expectNothing(Drop{kInstalled, 1, std::nullopt, -1});
    expectNothing(Drop{kAvailable, 0, std::nullopt, -1});
    expectNothing(Drop{kInstalled, 3, kAvailable, -1});
}

// A press on a selected car of several starts a drag of them all; let go where it stands, it was
// a click: that car alone is selected, and no car moves.
TEST_F(ModelTest, ADropInPlaceIsAClick) {
    Load({RecordText("A"), RecordText("B")}, {RecordText("C"), RecordText("D"), RecordText("E")});
    for (const auto& [list, nItem, nPosition] :
         {std::tuple{kInstalled, 1, 1}, {kInstalled, 1, 2}, {kAvailable, 0, -1}}) {
        Apply(command::SelectAll{list});
        const ModelChange change = Apply(command::Drop{list, nItem, list, nPosition});
        EXPECT_FALSE(change.available.Any() || change.installed.Any());
        EXPECT_EQ(m_pCore->GetSelection(list), (Selection{{nItem}, nItem}));
    }
    EXPECT_FALSE(m_pCore->CanUndo());
}

// One of several exports fails: the uninstall is taken back whole, the files it wrote go, and
// the message names the car that could not be exported.
TEST_F(ModelTest, AFailedExportAmongSeveralTakesTheWholeUninstallBack) {
    Load({}, {RecordText("Alpha"), RecordText("Beta"), RecordText("Gamma")});
    WriteBytes("Beta.C2C", "");
    for (int n = 2; n <= kMaxCarFileNameTries; ++n)
        WriteBytes("Beta (" + std::to_string(n) + ").C2C", "");
    const Names_t astrFiles = FolderNames();
    Apply(command::SelectAll{kInstalled});
    const auto before = View();
    try {
        Apply(command::Uninstall{});
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_NE(std::string(e.what()).find("\"Beta\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(View(), before);
    EXPECT_EQ(FolderNames(), astrFiles) << "Alpha.C2C, written first, went again";
    EXPECT_FALSE(m_pCore->CanUndo());
}

TEST_F(ModelTest, DropsLandBeforeTheLineDroppedOn) {
    Load({RecordText("Alpha")},
         {RecordText("A"), RecordText("B"), RecordText("C"), RecordText("Alpha")});
    const auto drop = [&](CarList from, int nItem, CarList to, int nPosition) {
        Apply(command::Drop{from, nItem, to, nPosition});
        return Installed();
    };
    EXPECT_EQ(drop(kInstalled, 0, kInstalled, 2), (Names_t{"B", "A", "C", "Alpha"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled).nCaret, 1)
        << "A dropped before C is between B and C";
    EXPECT_EQ(drop(kInstalled, 2, kInstalled, 0), (Names_t{"C", "B", "A", "Alpha"}));
    EXPECT_EQ(drop(kInstalled, 0, kInstalled, 4), (Names_t{"B", "A", "Alpha", "C"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled).nCaret, 3) << "below the last line";
    EXPECT_EQ(drop(kAvailable, 0, kInstalled, 1), (Names_t{"B", "Alpha", "A", "Alpha", "C"}));
    EXPECT_EQ(m_pCore->GetSelection(kInstalled).nCaret, 1);
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
        return m_pCore->GetSelection(list).nCaret;
    };
    EXPECT_EQ(type("si", 5000), 1) << "not the first car beginning with the last letter typed";
    EXPECT_NE(m_pCore->GetShownInfo(kAvailable).find("silver Arrow"), std::string::npos);
    EXPECT_EQ(type("er", 5600), 2) << "within a second the typing goes on: \"sier\"";
    EXPECT_EQ(type("SILVER B", 10000), 3) << "case ignored, spaces count";
    EXPECT_EQ(type("x", 20000), 3) << "no car begins so: the selection stays";
    EXPECT_EQ(type("i", 20500), 3) << "\"xi\" matches nothing either";
    EXPECT_EQ(type("i", 21500), 0) << "a second's pause starts afresh";
    EXPECT_EQ(type("s", 30000, kInstalled), 0) << "each list by itself";
    EXPECT_EQ(m_pCore->GetSelection(kAvailable).nCaret, 0);
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
