// Whatever a player does with the keyboard and the mouse, the dialog shows what the installer's
// model gives for the commands those actions stand for. The test keeps a model of its own over a
// copy of the game folder, gives the program random real input, applies the matching commands to
// its model and compares lists, selections and carets, descriptions, the lists' counts and Ok after
// every action.
#include "GuiTest.h"
#include "Input.h"
#include "Screenshot.h"
#include "lists/InstallerCore.h"
#include "lists/Thousands.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <variant>

namespace fs = std::filesystem;

namespace {

constexpr int kSteps = 300;
constexpr const char* kSeedVariable = "GRIDWRIGHT_PROPERTY_SEED";

// The model's window and picture list: errors are kept to fail on, questions answered No.
class CModelSide : public CInstallerWindow, public CPictureSink {
public:
    void ReportError(const std::string& strMessage) override { m_astrErrors.push_back(strMessage); }
    bool AskYesNo(const std::string&) override { return false; }
    void CreateImageList() override {}
    int AddPicture(const std::uint8_t*) override { return m_nPictures++; }
    std::vector<std::string> m_astrErrors;
    int m_nPictures = 0;
};

// Car n of 36. The names share first letters ("Amber Fox", "Ash Fox", ... "Amber Gull"), so typing
// needs a second letter to tell them apart.
CTestCar Car(int n, const std::string& strDriver) {
    static const char* const apszMake[] = {"Amber", "Ash",   "Blue",  "Brass",   "Cobalt", "Dusk",
                                           "Ember", "Flint", "Frost", "Granite", "Hazel",  "Iron"};
    static const char* const apszKind[] = {" Fox", " Gull", " Moth"};
    const std::string s = std::to_string(n);
    const std::string strName = apszMake[n % 12] + std::string(apszKind[n / 12]);
    return {strDriver,  "D" + s,    strName,    s,          s + "900", "1",
            s + ".TXT", s + ".PIX", s + ".MAT", s + ".ACT", "Car " + s};
}

// 20 car files (cars 0 to 19) and 20 opponents: five the same as a car file, three of a car
// file's name but another driver, twelve with no car file (uninstalling exports them), one of
// them twice.
void WriteGameFolder(const fs::path& folder) {
    fs::create_directories(folder / "data");
    for (int n = 0; n < 20; ++n) // file names in another order than the car names
        WriteBytes(folder / ("car" + std::to_string(10 + n * 7 % 20) + (n % 3 ? ".c2c" : ".C2C")),
                   CarFileBytes(Car(n, "Pat Page")));
    std::vector<CTestCar> aInstalled;
    for (const int n : {24, 2, 0, 25, 5, 26, 9, 7, 27, 28, 14, 24, 29, 12, 30, 17, 31, 32, 33, 34})
        aInstalled.push_back(Car(n, n == 0 || n == 7 || n == 12 ? "Kim Kerr" : "Pat Page"));
    WriteBytes(folder / "data" / "opponent.txt", GameOpponentList(aInstalled));
}

CarList ListOf(int nListId) {
    return nListId == IDC_AVAILABLE ? CarList::Available : CarList::Installed;
}

std::string Where(int nId) {
    return nId == IDC_AVAILABLE ? "available" : nId == IDC_INSTALLED ? "installed" : "dialog";
}

// What a button or a key stands for; none for a key the list does not take.
using Simple =
    std::variant<std::monostate, command::Install, command::Uninstall, command::Up, command::Down,
                 command::Top, command::Bottom, command::Undo, command::Redo, command::SelectAll>;

// Shift and Ctrl clicks and Shift with the arrows are the list box's own: it extends its selection
// from its anchor, which the test follows as the list box keeps it.
enum class EInput { Click, DoubleClick, Drag, ShiftClick, CtrlClick, Button, Keys, Arrow, Type };

// A kind of player action: the input, where it goes, and the command it stands for besides what
// the lines it hits give (a press on a line selects it, the release drops the car there).
struct CAction {
    int nWeight;
    const char* pszName;
    EInput input;
    int nId;       // the list clicked, keyed, typed in or dragged from (0: any control); the button
    int nToId = 0; // the list a drag ends on
    Simple command{};
    WORD anKeys[2] = {};
};

const CAction kActions[] = {
    {8, "click", EInput::Click, IDC_AVAILABLE},
    {8, "click", EInput::Click, IDC_INSTALLED},
    {2, "double click", EInput::DoubleClick, IDC_AVAILABLE, 0, command::Install{}},
    {2, "double click", EInput::DoubleClick, IDC_INSTALLED, 0, command::Uninstall{}},
    {4, "drag", EInput::Drag, IDC_INSTALLED, IDC_INSTALLED},
    {4, "drag", EInput::Drag, IDC_AVAILABLE, IDC_INSTALLED},
    {3, "drag", EInput::Drag, IDC_INSTALLED, IDC_AVAILABLE},
    {1, "drag", EInput::Drag, IDC_AVAILABLE, IDC_AVAILABLE},
    {4, "Shift+click", EInput::ShiftClick, IDC_AVAILABLE},
    {4, "Shift+click", EInput::ShiftClick, IDC_INSTALLED},
    {3, "Ctrl+click", EInput::CtrlClick, IDC_AVAILABLE},
    {3, "Ctrl+click", EInput::CtrlClick, IDC_INSTALLED},
    {3, "button >", EInput::Button, IDC_INSTALL, 0, command::Install{}},
    {3, "button <", EInput::Button, IDC_UNINSTALL, 0, command::Uninstall{}},
    {3, "button Up", EInput::Button, IDC_UP, 0, command::Up{}},
    {3, "button Down", EInput::Button, IDC_DOWN, 0, command::Down{}},
    {3, "Delete", EInput::Keys, IDC_INSTALLED, 0, command::Uninstall{}, {VK_DELETE}},
    {1, "Delete", EInput::Keys, IDC_AVAILABLE, 0, {}, {VK_DELETE}},
    {3, "Insert", EInput::Keys, IDC_AVAILABLE, 0, command::Install{}, {VK_INSERT}},
    {1, "Insert", EInput::Keys, IDC_INSTALLED, 0, {}, {VK_INSERT}},
    {3, "Ctrl+Up", EInput::Keys, IDC_INSTALLED, 0, command::Up{}, {VK_CONTROL, VK_UP}},
    {3, "Ctrl+Down", EInput::Keys, IDC_INSTALLED, 0, command::Down{}, {VK_CONTROL, VK_DOWN}},
    {2, "Ctrl+Home", EInput::Keys, IDC_INSTALLED, 0, command::Top{}, {VK_CONTROL, VK_HOME}},
    {2, "Ctrl+End", EInput::Keys, IDC_INSTALLED, 0, command::Bottom{}, {VK_CONTROL, VK_END}},
    {4, "Ctrl+Z", EInput::Keys, 0, 0, command::Undo{}, {VK_CONTROL, 'Z'}},
    {3, "Ctrl+Y", EInput::Keys, 0, 0, command::Redo{}, {VK_CONTROL, 'Y'}},
    {3, "Up", EInput::Arrow, IDC_AVAILABLE, 0, {}, {VK_UP}},
    {3, "Down", EInput::Arrow, IDC_AVAILABLE, 0, {}, {VK_DOWN}},
    {3, "Up", EInput::Arrow, IDC_INSTALLED, 0, {}, {VK_UP}},
    {3, "Down", EInput::Arrow, IDC_INSTALLED, 0, {}, {VK_DOWN}},
    {2, "Shift+Up", EInput::Arrow, IDC_AVAILABLE, 0, {}, {VK_SHIFT, VK_UP}},
    {2, "Shift+Down", EInput::Arrow, IDC_AVAILABLE, 0, {}, {VK_SHIFT, VK_DOWN}},
    {2, "Shift+Up", EInput::Arrow, IDC_INSTALLED, 0, {}, {VK_SHIFT, VK_UP}},
    {2, "Shift+Down", EInput::Arrow, IDC_INSTALLED, 0, {}, {VK_SHIFT, VK_DOWN}},
    {1,
     "Ctrl+A",
     EInput::Keys,
     IDC_AVAILABLE,
     0,
     command::SelectAll{CarList::Available},
     {VK_CONTROL, 'A'}},
    {1,
     "Ctrl+A",
     EInput::Keys,
     IDC_INSTALLED,
     0,
     command::SelectAll{CarList::Installed},
     {VK_CONTROL, 'A'}},
    {4, "type", EInput::Type, IDC_AVAILABLE},
    {4, "type", EInput::Type, IDC_INSTALLED},
};

// The program and the model, and the random player who acts on both.
class CRun {
public:
    CRun(CProgramDriver& program, fs::path modelFolder, unsigned nSeed)
        : m_program(program), m_modelFolder(std::move(modelFolder)), m_random(nSeed) {}

    // The core works on relative paths: in the model's own copy of the game folder meanwhile. (A
    // command that throws fails the test, which keeps the folder.)
    // The list boxes' anchors follow: the window moves a list box's anchor to the caret whenever
    // it draws a changed selection or changed lines (none known without a caret).
    void Apply(ListCommand command) {
        const fs::path previous = fs::current_path();
        fs::current_path(m_modelFolder);
        const Selection aBefore[] = {m_model.GetSelection(CarList::Available),
                                     m_model.GetSelection(CarList::Installed)};
        const ModelChange change = m_model.Apply(std::move(command));
        fs::current_path(previous);
        for (const CarList list : {CarList::Available, CarList::Installed}) {
            const Selection& now = m_model.GetSelection(list);
            const auto n = static_cast<std::size_t>(list);
            if (now != aBefore[n] ||
                (list == CarList::Available ? change.available : change.installed).Any())
                m_anAnchor[n] = now.nCaret;
        }
    }

    // The command the window gives for a selection the list box made: Select for one line with
    // the caret on it, none when the model holds it already. The list box keeps its anchor.
    void ApplySelection(CarList list, const Selection& selection) {
        const int nAnchor = Anchor(list);
        if (selection == m_model.GetSelection(list))
            return;
        if (selection.anLines.size() == 1 && selection.anLines.front() == selection.nCaret)
            Apply(command::Select{list, selection.nCaret});
        else
            Apply(command::SelectLines{list, selection});
        Anchor(list) = nAnchor;
    }

    int& Anchor(CarList list) { return m_anAnchor[static_cast<std::size_t>(list)]; }

    // What the model gives, or what the program shows: both lists' titles, lines, selections and
    // carets (a list box always has one: compared when the model has one), descriptions, and Ok.
    std::string Shown(bool bModel) const {
        std::string str;
        for (const int nId : {IDC_AVAILABLE, IDC_INSTALLED}) {
            const CarList list = ListOf(nId);
            std::vector<std::string> aLines;
            for (int n = 0; bModel && n < m_model.GetCount(list); ++n)
                aLines.push_back(m_model.GetCar(list, n).m_strCarName);
            const Selection& selection = m_model.GetSelection(list);
            const int nInfoId = nId == IDC_AVAILABLE ? IDC_AVAILABLE_INFO : IDC_INSTALLED_INFO;
            const int nGroupId = nId == IDC_AVAILABLE ? IDC_AVAILABLE_GROUP : IDC_INSTALLED_GROUP;
            const std::string strTitle =
                std::string(nId == IDC_AVAILABLE ? "Available" : "Installed") + " Cars (" +
                WithThousands(static_cast<std::size_t>(m_model.GetCount(list))) + ")";
            str += "  " + (bModel ? strTitle : m_program.Text(nGroupId)) + ": " +
                   ::testing::PrintToString(bModel ? aLines : m_program.Lines(nId)) +
                   ", selected " +
                   ::testing::PrintToString(bModel ? selection.anLines
                                                   : m_program.SelectedLines(nId)) +
                   (selection.nCaret < 0
                        ? std::string()
                        : ", caret " +
                              std::to_string(bModel ? selection.nCaret : m_program.Caret(nId))) +
                   ", showing " +
                   ::testing::PrintToString(bModel ? m_model.GetShownInfo(list)
                                                   : m_program.Text(nInfoId)) +
                   "\n";
        }
        return str + "  Ok " +
               ((bModel ? m_model.IsLoaded() : m_program.IsEnabled(IDC_OK)) ? "enabled"
                                                                            : "disabled");
    }

    int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // A random line wholly in view: a point on it hits that line and scrolls nothing. Below the
    // last line counts as a line too, when asked for and the list leaves room for it.
    std::optional<int> LineInView(int nListId, bool bBelow = false) {
        const HWND hList = m_program.Control(nListId);
        const auto nTop = static_cast<int>(CProgramDriver::Send(hList, LB_GETTOPINDEX, 0, 0));
        const auto nHeight = static_cast<int>(CProgramDriver::Send(hList, LB_GETITEMHEIGHT, 0, 0));
        RECT rect{};
        GetClientRect(hList, &rect);
        const int nEnd = std::min(nTop + static_cast<int>(rect.bottom) / nHeight,
                                  m_model.GetCount(ListOf(nListId)) + (bBelow ? 1 : 0));
        return nEnd > nTop ? std::optional<int>(nTop + Random(nEnd - nTop)) : std::nullopt;
    }

    // Clicks, double-clicks or drags from the point. A press near the last one and soon after it
    // would make a double click: the time passes first.
    void Press(POINT pt, EInput input, POINT to = {}, WORD nHeldKey = 0) {
        const DWORD dwWait = GetDoubleClickTime() + 100;
        if (const DWORD dwSince = GetTickCount() - m_dwLastPress;
            std::abs(pt.x - m_ptLast.x) < 8 && std::abs(pt.y - m_ptLast.y) < 8 && dwSince < dwWait)
            Sleep(dwWait - dwSince);
        if (input == EInput::Drag)
            input::Drag(pt, to);
        else if (input == EInput::DoubleClick)
            input::DoubleClick(pt);
        else
            input::Click(pt, nHeldKey);
        m_ptLast = pt;
        m_dwLastPress = GetTickCount();
    }

    // An action of the table as often as its weight says, among those that can be done now.
    void ActAtRandom() {
        int nTotal = 0;
        for (const CAction& action : kActions)
            nTotal += action.nWeight;
        const CAction* pAction = nullptr;
        do {
            int n = Random(nTotal);
            for (pAction = kActions; n >= pAction->nWeight; ++pAction)
                n -= pAction->nWeight;
        } while (!Act(*pAction));
        m_strDone += "\n  step " + std::to_string(++m_nSteps) + ": " + m_strAction;
        if (m_strDone.size() > 600)
            m_strDone.erase(0, m_strDone.find('\n', m_strDone.size() - 600));
    }

    // Gives the action's input and applies what it stands for; false when it cannot be done now.
    bool Act(const CAction& action) {
        const int nId = action.nId;
        const CarList list = ListOf(nId);
        const Selection before = nId == 0 ? Selection{} : m_model.GetSelection(list);
        const bool bShift = action.input == EInput::ShiftClick || action.anKeys[0] == VK_SHIFT;
        if ((action.input >= EInput::Keys && nId != 0 &&
             m_program.Focus() != m_program.Control(nId)) ||
            (action.input == EInput::Type && m_model.GetCount(list) == 0) ||
            // The list box would move from its own caret, or extend from an anchor not followed.
            (action.input == EInput::Arrow && before.nCaret < 0) || (bShift && Anchor(list) < 0))
            return false;
        m_strAction = std::string(action.pszName) + " in " + Where(nId);
        if (action.input == EInput::ShiftClick || action.input == EInput::CtrlClick) {
            const std::optional<int> nLine = LineInView(nId);
            if (!nLine)
                return false;
            m_strAction += ", line " + std::to_string(*nLine);
            Press(m_program.LinePoint(nId, *nLine), action.input, {},
                  bShift ? VK_SHIFT : VK_CONTROL);
            // Shift selects from the anchor to the line; Ctrl turns the line over and anchors
            // there.
            Selection selection{{}, *nLine};
            if (bShift) {
                for (int n = std::min(Anchor(list), *nLine); n <= std::max(Anchor(list), *nLine);
                     ++n)
                    selection.anLines.push_back(n);
            } else {
                selection.anLines = before.anLines;
                const auto it =
                    std::lower_bound(selection.anLines.begin(), selection.anLines.end(), *nLine);
                if (it != selection.anLines.end() && *it == *nLine)
                    selection.anLines.erase(it);
                else
                    selection.anLines.insert(it, *nLine);
                Anchor(list) = *nLine;
            }
            ApplySelection(list, selection);
        } else if (action.input <= EInput::Drag) {
            const int nToId = action.nToId != 0 ? action.nToId : nId;
            const std::optional<int> nLine = LineInView(nId);
            const std::optional<int> nTo =
                action.nToId != 0 ? LineInView(nToId, nToId == IDC_INSTALLED) : nLine;
            if (!nLine || !nTo)
                return false;
            m_strAction += ", line " + std::to_string(*nLine) + " to line " + std::to_string(*nTo) +
                           " in " + Where(nToId);
            Press(m_program.LinePoint(nId, *nLine), action.input, m_program.LinePoint(nToId, *nTo));
            // The press selects a line not selected alone, and keeps a selection it is part of;
            // the release drops the selection where the pointer is (in place it is a click, which
            // selects the line alone). A double click acts on the selection the press found.
            const bool bSelected =
                std::binary_search(before.anLines.begin(), before.anLines.end(), *nLine);
            if (!bSelected)
                Apply(command::Select{list, *nLine});
            Apply(command::Drop{list, *nLine, ListOf(nToId), nToId == IDC_INSTALLED ? *nTo : -1});
            if (const Selection& now = m_model.GetSelection(list);
                action.input == EInput::DoubleClick && bSelected &&
                now.anLines == std::vector<int>{*nLine} && now.nCaret == *nLine)
                Apply(command::SelectLines{list, before});
            Anchor(list) = m_model.GetSelection(list).nCaret;
        } else if (action.input == EInput::Button) {
            const RECT rect = CProgramDriver::ScreenRect(m_program.Control(nId));
            Press({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, action.input);
        } else if (action.input == EInput::Type) {
            // One or two letters of a car's name, or any letter.
            const std::string strName =
                m_model.GetCar(list, Random(m_model.GetCount(list))).m_strCarName;
            const std::string strTyped =
                Random(6) == 0 ? std::string(1, static_cast<char>('A' + Random(26)))
                               : strName.substr(0, static_cast<std::size_t>(1 + Random(2)));
            m_strAction += ", \"" + strTyped + "\"";
            DWORD& dwLast = m_adwLastTyped[static_cast<int>(list)];
            for (const char c : strTyped) {
                // The program times a key when it takes it: clear of the pause that starts afresh.
                if (const DWORD dwGap = GetTickCount() - dwLast; dwGap > 500 && dwGap < 1500)
                    Sleep(1500 - dwGap);
                dwLast = GetTickCount();
                const auto cLower = static_cast<char>(std::tolower(c));
                input::Type(std::string(1, cLower));
                Apply(command::TypeAhead{list, cLower, dwLast});
            }
        } else {
            if (action.anKeys[1] != 0)
                input::Keys({action.anKeys[0], action.anKeys[1]});
            else
                input::Keys({action.anKeys[0]});
            if (action.input == EInput::Arrow) {
                // The next line, as far as there is one: alone, or with Shift from the anchor.
                const WORD nKey = action.anKeys[bShift ? 1 : 0];
                const int nCaret = std::clamp(before.nCaret + (nKey == VK_UP ? -1 : 1), 0,
                                              m_model.GetCount(list) - 1);
                if (!bShift)
                    Anchor(list) = nCaret;
                Selection selection{{}, nCaret};
                for (int n = std::min(Anchor(list), nCaret); n <= std::max(Anchor(list), nCaret);
                     ++n)
                    selection.anLines.push_back(n);
                ApplySelection(list, selection);
            }
        }
        std::visit(
            [this](auto c) {
                if constexpr (!std::is_same_v<decltype(c), std::monostate>)
                    Apply(c);
            },
            action.command);
        return true;
    }

    CProgramDriver& m_program;
    const fs::path m_modelFolder;
    CModelSide m_side;
    CInstallerCore m_model{m_side, m_side};
    std::mt19937 m_random;
    std::string m_strAction;
    std::string m_strDone; // the last actions, for a failure
    int m_nSteps = 0;
    POINT m_ptLast{};
    DWORD m_dwLastPress = 0;
    DWORD m_adwLastTyped[2] = {};
    int m_anAnchor[2] = {-1, -1}; // each list box's, as the list box keeps it; -1: not known
};

unsigned Seed() {
    if (const char* pszSeed = std::getenv(kSeedVariable); pszSeed != nullptr && *pszSeed != '\0')
        return static_cast<unsigned>(std::strtoul(pszSeed, nullptr, 10));
    return std::random_device{}();
}

} // namespace

TEST_F(GuiTest, RandomPlayerInputShowsWhatTheModelGives) {
    const unsigned nSeed = Seed();
    std::cout << "Seed " << nSeed << " (set " << kSeedVariable << " to repeat)\n";
    WriteGameFolder(m_folder);
    const fs::path modelFolder = m_folder / "model"; // its exports apart from the program's
    WriteGameFolder(modelFolder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    CRun run(*pProgram, modelFolder, nSeed);
    run.Apply(command::Load{});
    ASSERT_EQ(run.m_model.GetCount(CarList::Available), 20);
    ASSERT_EQ(run.m_model.GetCount(CarList::Installed), 20);

    for (int nStep = 0; nStep <= kSteps; ++nStep) {
        if (nStep > 0) {
            run.ActAtRandom();
        }
        pProgram->WaitUntilIdle();
        if (const std::string strShown = run.Shown(false), strModel = run.Shown(true);
            strShown != strModel) {
            const fs::path bmp = ArtifactsFolder() / "model-property-mismatch.bmp";
            fs::create_directories(ArtifactsFolder());
            SaveScreenshot(pProgram->Dialog(), bmp);
            FAIL() << "seed " << nSeed << ", step " << nStep << " (" << run.m_strAction
                   << "): the program shows\n"
                   << strShown << "\nthe model\n"
                   << strModel << "\nafter" << run.m_strDone << "\nscreenshot: " << bmp.string();
        }
        ASSERT_EQ(pProgram->FindOwnWindow("gridwright"), nullptr)
            << "step " << nStep << " (" << run.m_strAction << ") opened a box";
        ASSERT_EQ(run.m_side.m_astrErrors, std::vector<std::string>{}) << "step " << nStep;
    }
    EndWith(*pProgram, IDC_CAN);
}
