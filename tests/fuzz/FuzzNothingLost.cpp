// Builds a game folder and a player's actions from the input and plays them through the installer's
// model, checking after every action that nothing was lost: a start writes only what the unpacking
// and the one-time backup may; Ok leaves exactly the new list (success) or exactly the bytes it
// found (failure) and keeps the bytes it replaced; every record loaded outlives a successful Ok
// somewhere; nothing outside the game folder changes. A byte picks each choice, so that mutations
// stay meaningful.

#include "fuzz/Scratch.h"
#include "opponents/OpponentListReader.h"
#include "opponents/OpponentWriter.h"
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <set>

namespace {

namespace fs = std::filesystem;
using gamefiles::Encoded;
using gamefiles::Encoding;
using gamefiles::LineEnd;
using gamefiles::RecordText;
using support::Tree;

constexpr int kMaxActions = 16;
constexpr int kMaxOks = 8; // Ok keeps 20 copies; fewer saves never reach the pruning
constexpr const char* kList = "data/opponent.txt";

class CInput {
public:
    CInput(const std::uint8_t* pData, std::size_t nSize) : m_pData(pData), m_nLeft(nSize) {}
    [[nodiscard]] bool Empty() const { return m_nLeft == 0; }
    std::uint8_t Byte() { return m_nLeft == 0 ? 0 : (--m_nLeft, *m_pData++); }
    int Pick(int n) { return Byte() % n; }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nLeft;
};

void Check(bool bCondition, const char* pszWhat, const std::string& strDetail = {}) {
    if (bCondition)
        return;
    std::fprintf(stderr, "broken: %s\n%s\n", pszWhat, strDetail.c_str());
    std::abort();
}

std::string Record(CInput& in) {
    // Odd names too: one no file name can hold as it is, a device, one ending in '.', a long one.
    static constexpr const char* kNames[] = {"Hornet",     "Wasp", "Moth",  "Gnat",
                                             "a/b",        "CON",  "Wasp.", "Caf\xe9 Racer",
                                             "lowercase ", nullptr};
    static constexpr const char* kDescriptions[] = {"Fast and light", "Tuned", "Slow"};
    const char* pszName = kNames[in.Pick(std::size(kNames))];
    return RecordText(pszName ? pszName : std::string(150, 'L'), "EAGLE",
                      kDescriptions[in.Pick(3)]);
}

// An opponent list, whole or damaged, in any line ends and encoding; and its record texts when it
// is whole in a form the reader must read whole.
struct MadeList {
    std::string strBytes;
    std::optional<std::vector<std::string>> astrWhole;
};

MadeList MakeList(CInput& in) {
    std::vector<std::string> astrRecords(static_cast<std::size_t>(in.Pick(5)));
    for (std::string& str : astrRecords)
        str = Record(in);
    std::string str =
        (in.Pick(2) == 1 ? "// kept by hand\r\n" : "") + gamefiles::OpponentList(astrRecords);
    const int nDamage = in.Pick(6);
    if (nDamage == 3) {
        str.resize(str.size() * in.Byte() / 256);
    } else if (nDamage == 4) {
        str = "9\r\n" + str.substr(0, str.rfind("END")); // no END, and a count it does not keep
    } else if (nDamage == 5) {                           // a stray byte
        const std::size_t nAt = str.size() * in.Byte() / 256;
        str.insert(nAt, 1, static_cast<char>(in.Byte()));
    }
    const auto lineEnd = static_cast<LineEnd>(in.Pick(4));
    const auto encoding = static_cast<Encoding>(in.Pick(4));
    MadeList list{Encoded(str, lineEnd, encoding), {}};
    if (nDamage < 3 && lineEnd != LineEnd::Cr &&
        (encoding == Encoding::Plain || encoding == Encoding::Utf8Mark))
        list.astrWhole = astrRecords;
    return list;
}

// The file's name as the folder spells it, matched without regard to case as the program does.
std::optional<std::string> NameIn(const Tree& tree, std::string_view strPath) {
    for (const auto& [strName, strBytes] : tree)
        if (EqualNoCase(strName, strPath))
            return strName;
    return std::nullopt;
}

std::optional<std::string> ListIn(const Tree& tree) {
    const std::optional<std::string> strName = NameIn(tree, kList);
    return strName ? std::optional(tree.at(*strName)) : std::nullopt;
}

bool IsCarFile(const std::string& strPath) {
    return strPath.find('/') == std::string::npos && strPath.size() > 4 &&
           EqualNoCase(strPath.substr(strPath.size() - 4), ".c2c");
}

// The bytes of the car files in the game folder.
std::set<std::string> CarFiles(const Tree& tree) {
    std::set<std::string> aBytes;
    for (const auto& [strPath, strBytes] : tree)
        if (IsCarFile(strPath))
            aBytes.insert(strBytes);
    return aBytes;
}

std::vector<std::string> Texts(const CInstallerCore& core, CarList list) {
    std::vector<std::string> astr;
    for (int i = 0; i < core.GetCount(list); ++i)
        astr.push_back(core.GetCar(list, i).m_strText);
    return astr;
}

// Whether an action may make a change: the path, its bytes before and after (null: none).
using Allowed = std::function<bool(const std::string&, const std::string*, const std::string*)>;

struct Session {
    CTestWindow window;
    CTestPictures pictures;
    CInstallerCore core{window, pictures};
    std::vector<std::string> astrLoaded; // the installed records as the last load read them
    bool bEdited = false; // another program changed the list since: it was that one's to keep
};

class CPlay {
public:
    explicit CPlay(CInput& in) : m_in(in) {}
    void Run();

private:
    void MakeFolder();
    // Runs one action with the fault asked for, if any, and checks what it changed.
    void Act(const std::function<void()>& action, const Allowed& allowed);
    void Load();
    void Edit();
    void Ok();
    void Command(int nOp);
    Session& Started() {
        if (!m_pSession) {
            m_pSession = std::make_unique<Session>();
            m_pSession->pictures.m_bKeepPictures = false;
            Load();
        }
        return *m_pSession;
    }

    CInput& m_in;
    std::unique_ptr<Session> m_pSession;
    std::optional<std::vector<std::string>> m_astrWhole; // while the list is as MakeList made it
    std::vector<gamefiles::Entry> m_aArchive;
    std::map<std::string, std::string> m_outside;
    std::optional<std::pair<int, int>> m_fault; // FileOp (8: any) and which of them, next action
    bool m_bFaulted = false;                    // in the action under way
    bool m_bRemoveFailed = false;
};

void CPlay::MakeFolder() {
    fuzz::FreshGameFolder();
    // What a path escaping the game folder would find.
    fuzz::WriteBytes("../data/opponent.txt", gamefiles::OpponentList({RecordText("Outsider")}));
    fuzz::WriteBytes("../Hornet.C2C", RecordText("Hornet"));
    if (m_in.Pick(4) != 0) {
        MadeList list = MakeList(m_in);
        fuzz::WriteBytes(kList, list.strBytes);
        m_astrWhole = list.astrWhole;
    }
    for (int n = m_in.Pick(5); n > 0; --n) {
        static constexpr const char* kNames[] = {"Hornet.c2c", "wasp.C2C", "Moth.c2c", "odd.c2c",
                                                 "Car.C2C"};
        const char* pszName = kNames[m_in.Pick(5)];
        const int nKind = m_in.Pick(4);
        std::string str = Record(m_in);
        if (nKind == 2) { // its last lines cut off
            for (int nLines = m_in.Pick(11), i = 0; i < nLines; ++i)
                str.erase(str.rfind("\r\n", str.size() - 3) + 2);
        } else if (nKind == 3) { // no car: a length, then the byte repeated
            const std::size_t nBytes = m_in.Byte();
            str.assign(nBytes, static_cast<char>(m_in.Byte()));
        }
        const auto lineEnd = static_cast<LineEnd>(m_in.Pick(4));
        const auto encoding = static_cast<Encoding>(m_in.Pick(3));
        fuzz::WriteBytes(pszName, Encoded(str, lineEnd, encoding));
    }
    for (int n = m_in.Pick(4); n > 0; --n) {
        const int nYear = m_in.Pick(2) == 1 ? 2090 : 2001 + m_in.Pick(20);
        const int nDay = 1 + m_in.Pick(28);
        const int nSecond = m_in.Pick(60);
        char szName[64];
        std::snprintf(szName, sizeof szName, "data/backups/opponent-%04d03%02d-1200%02d.txt", nYear,
                      nDay, nSecond);
        fuzz::WriteBytes(szName, MakeList(m_in).strBytes);
    }
    if (m_in.Pick(3) == 0)
        fuzz::WriteBytes("data/OPPONENT.OLD", MakeList(m_in).strBytes);
    if (m_in.Pick(3) == 0) {
        static constexpr const char* kEntries[] = {"opponent.txt", "OPPONENT.TXT", "races.txt",
                                                   "opponent.old"};
        for (int n = 1 + m_in.Pick(3); n > 0; --n) {
            const char* pszName = kEntries[m_in.Pick(4)];
            m_aArchive.emplace_back(pszName, MakeList(m_in).strBytes);
        }
        const bool bDamaged = m_in.Pick(4) == 0; // its count promises more entries than it has
        fuzz::WriteBytes("data.twt",
                         gamefiles::Archive(m_aArchive, bDamaged ? std::optional<std::uint8_t>(255)
                                                                 : std::nullopt));
    }
    m_outside = fuzz::OutsideGameFolder();
}

void CPlay::Act(const std::function<void()>& action, const Allowed& allowed) {
    const Tree before = support::FolderTree();
    m_bFaulted = m_bRemoveFailed = false;
    if (m_fault) {
        SetFileFaultHook(
            [this, fault = *m_fault, nSeen = 0](FileOp op, const std::string&) mutable {
                if ((fault.first != 8 && op != static_cast<FileOp>(fault.first)) ||
                    nSeen++ != fault.second)
                    return false;
                m_bFaulted = true;
                m_bRemoveFailed = op == FileOp::Remove;
                return true;
            });
        m_fault.reset();
    }
    try {
        action();
    } catch (const std::exception&) {
        // A failed command or save: what it left is checked all the same.
    }
    SetFileFaultHook({});
    const Tree after = support::FolderTree();
    for (const auto& [strPath, strBytes] : before) {
        const auto it = after.find(strPath);
        if (it == after.end() ? !allowed(strPath, &strBytes, nullptr)
                              : it->second != strBytes && !allowed(strPath, &strBytes, &it->second))
            Check(false, "an action changed or removed a file it must not", strPath);
    }
    // A temporary file stays only where removing it failed.
    const std::string strTemporary = ".new-" + std::to_string(getpid()) + "-";
    for (const auto& [strPath, strBytes] : after)
        if (!before.contains(strPath) && !allowed(strPath, nullptr, &strBytes))
            Check(m_bRemoveFailed && strPath.find(strTemporary) != std::string::npos,
                  "an action wrote a file it must not", strPath);
    Check(fuzz::OutsideGameFolder() == m_outside, "a file outside the game folder changed");
}

void CPlay::Load() {
    Session& s = *m_pSession;
    Tree before, after;
    Act(
        [&] {
            before = support::FolderTree();
            s.core.Apply(command::Load{});
            after = support::FolderTree();
        },
        [&](const std::string& strPath, const std::string* pBefore, const std::string* pAfter) {
            if (!pAfter) // only the archive goes, retired beside itself
                return strPath == "data.twt" && after.contains("data.twat");
            if (pBefore)
                return false; // no file the start found changes
            if (strPath == "data.twat")
                return before.contains("data.twt") && *pAfter == before.at("data.twt");
            for (const gamefiles::Entry& entry : m_aArchive)
                if (strPath == "data/" + entry.m_strName && *pAfter == entry.m_strData)
                    return true;
            // The one-time backup: the list as the start found it (or unpacked it).
            return EqualNoCase(strPath, "data/opponent.old") &&
                   !NameIn(before, "data/opponent.old") && ListIn(after) == *pAfter;
        });
    s.astrLoaded = Texts(s.core, CarList::Installed);
    s.bEdited = false;
    if (m_astrWhole && !m_bFaulted)
        Check(s.core.IsLoaded() && s.astrLoaded == *m_astrWhole,
              "a list written whole loads whole, record by record");
}

// Another program deletes, rewrites or extends the opponent list, or writes the same bytes again.
void CPlay::Edit() {
    const Tree tree = support::FolderTree();
    const std::string strPath = NameIn(tree, kList).value_or(kList);
    const std::optional<std::string> strOld = ListIn(tree);
    if (const int nKind = m_in.Pick(4); nKind == 0)
        fs::remove(strPath);
    else if (nKind == 1)
        fuzz::WriteBytes(strPath, MakeList(m_in).strBytes);
    else if (nKind == 2)
        fuzz::WriteBytes(strPath, strOld.value_or("") + Record(m_in));
    else if (strOld)
        fuzz::WriteBytes(strPath, *strOld);
    if (ListIn(support::FolderTree()) != strOld) {
        m_astrWhole.reset();
        if (m_pSession)
            m_pSession->bEdited = true;
    }
}

void CPlay::Ok() {
    Session& s = Started();
    const bool bYes = m_in.Pick(2) == 1;
    int nEditsWhileAsked = m_in.Pick(3);
    std::vector<const CarRecord*> apInstalled;
    for (int i = 0; i < s.core.GetCount(CarList::Installed); ++i)
        apInstalled.push_back(&s.core.GetCar(CarList::Installed, i));
    const std::string strNew = OpponentListText(apInstalled);
    // The list's bytes before Ok, then after each edit made while Ok asked.
    std::vector<std::optional<std::string>> aVersions{ListIn(support::FolderTree())};
    s.window.m_bAnswerYes = bYes;
    s.window.m_onAsk = [&] {
        if (nEditsWhileAsked-- > 0) {
            Edit();
            aVersions.push_back(ListIn(support::FolderTree()));
        }
    };
    const std::size_t nAsked = s.window.m_astrQuestions.size();
    bool bSaved = false;
    Act([&] { bSaved = s.core.SaveAndClose(); },
        [&](const std::string& strPath, const std::string* pBefore, const std::string* pAfter) {
            if (EqualNoCase(strPath, kList))
                return true; // checked below
            // The order of the kept copies is the save's to rewrite; it holds names, not lists.
            if (strPath == "data/backups/kept-order.txt")
                return pAfter != nullptr;
            // A new kept copy holds a version of the list; none goes while fewer than 20 stay.
            return !pBefore &&
                   (strPath == "data/backups/" ||
                    (strPath.starts_with("data/backups/opponent-") &&
                     std::find(aVersions.begin(), aVersions.end(), *pAfter) != aVersions.end()));
        });
    s.window.m_onAsk = {};
    const Tree after = support::FolderTree();
    const std::optional<std::string> strNow = ListIn(after);
    const std::optional<std::string>& strOld = aVersions.back();
    const bool bSaidYes = bYes && s.window.m_astrQuestions.size() > nAsked;
    if (bSaved)
        Check(strNow == strNew, "a save that reports success leaves exactly the new list", strNew);
    else
        Check(strNow == strOld || (bSaidYes && strNow == strNew),
              "a save that reports failure leaves the old bytes", strOld.value_or("(none)"));
    if (strOld && strNow != strOld)
        Check(std::any_of(after.begin(), after.end(),
                          [&](const auto& file) {
                              return file.first.starts_with("data/backups/") &&
                                     file.second == *strOld;
                          }),
              "the bytes Ok replaced are in data\\backups", *strOld);
    if (strNow != aVersions.front())
        m_astrWhole.reset();
    if (!bSaved)
        return;

    // Every record loaded is in the list written, in the available list, in a car file or in a
    // kept list.
    if (!s.bEdited) {
        std::set<std::string> aKept = CarFiles(after);
        for (const CarList list : {CarList::Installed, CarList::Available})
            for (std::string& str : Texts(s.core, list))
                aKept.insert(std::move(str));
        for (const auto& [strName, strBytes] : after) {
            if (strName.ends_with('/') || strName == "data/backups/kept-order.txt" ||
                (!strName.starts_with("data/backups/") &&
                 !EqualNoCase(strName, "data/opponent.old")))
                continue;
            std::string strPath = strName;
            std::replace(strPath.begin(), strPath.end(), '/', '\\');
            for (const auto& pRecord : ParseOpponentList(ReadWholeFile(strPath)).apRecords)
                aKept.insert(pRecord->m_strText);
        }
        for (const std::string& strRecord : s.astrLoaded)
            Check(aKept.contains(strRecord), "a record loaded was lost by Ok", strRecord);
    }
    m_pSession.reset(); // the window closes
}

// A command of the lists: 1 select, 2 install, 3 uninstall, 4 move, 5 drag, 6 type, 7 undo,
// 8 redo, 9 restore a kept list (one that is whole, as only those are offered).
void CPlay::Command(int nOp) {
    Session& s = Started();
    const CarList list = nOp <= 8 && m_in.Pick(2) == 1 ? CarList::Installed : CarList::Available;
    const int nTo = nOp == 5 ? m_in.Pick(3) : 0;
    const auto makeCommand = [&]() -> ListCommand {
        const int n = nOp == 1 || nOp == 4 || nOp == 5 || nOp == 6 ? m_in.Pick(9) : 0;
        if (nOp == 1 && n == 8)
            return command::SelectAll{list};
        if (nOp == 1 && n == 7) {
            // Several cars at once: the lines of a byte's bits.
            command::SelectLines select{list, {{}, m_in.Pick(9) - 1}};
            const int nBits = m_in.Byte();
            for (int i = 0; i < 8; ++i)
                if ((nBits >> i & 1) != 0)
                    select.selection.anLines.push_back(i);
            return select;
        }
        if (nOp == 1)
            return command::Select{list, n - 1};
        if (nOp == 4)
            return n % 4 == 0   ? ListCommand(command::Up{})
                   : n % 4 == 1 ? ListCommand(command::Down{})
                   : n % 4 == 2 ? ListCommand(command::Top{})
                                : ListCommand(command::Bottom{});
        if (nOp == 5)
            return command::Drop{
                list, n - 1,
                nTo == 0 ? std::nullopt
                         : std::optional(nTo == 1 ? CarList::Available : CarList::Installed),
                m_in.Pick(9) - 1};
        if (nOp == 6)
            return command::TypeAhead{list, "hwmgcl"[n % 6], m_in.Byte() * 100u};
        if (nOp == 9) {
            std::vector<RestorableList> aLists = s.core.ReadRestorableLists();
            std::erase_if(aLists, [](const RestorableList& kept) { return !kept.bWhole; });
            if (!aLists.empty())
                return command::Restore{std::move(
                    aLists[static_cast<std::size_t>(m_in.Pick(static_cast<int>(aLists.size())))]
                        .apRecords)};
            return command::Select{CarList::Installed,
                                   s.core.GetSelection(CarList::Installed).nCaret};
        }
        return nOp == 2   ? ListCommand(command::Install{})
               : nOp == 3 ? ListCommand(command::Uninstall{})
               : nOp == 7 ? ListCommand(command::Undo{})
                          : ListCommand(command::Redo{});
    };
    const std::vector<std::string> astrInstalled = Texts(s.core, CarList::Installed);
    const std::vector<std::string> astrAvailable = Texts(s.core, CarList::Available);
    // Only an uninstall writes: a new car file holding a record that was installed.
    Act([&] { s.core.Apply(makeCommand()); },
        [&](const std::string& strPath, const std::string* pBefore, const std::string* pAfter) {
            return !pBefore && IsCarFile(strPath) &&
                   std::find(astrInstalled.begin(), astrInstalled.end(), *pAfter) !=
                       astrInstalled.end();
        });
    if (nOp != 3 && nOp != 5)
        return;
    // A car taken out of the installed list stays available: from the car file that listed it,
    // or from the file it was exported to.
    std::multiset<std::string> aGone(astrInstalled.begin(), astrInstalled.end());
    for (const std::string& str : Texts(s.core, CarList::Installed))
        if (const auto it = aGone.find(str); it != aGone.end())
            aGone.erase(it);
    std::set<std::string> aKept = CarFiles(support::FolderTree());
    aKept.insert(astrAvailable.begin(), astrAvailable.end());
    for (const std::string& str : aGone)
        Check(aKept.contains(str), "an uninstalled car is in no car file", str);
}

void CPlay::Run() {
    MakeFolder();
    for (int nAction = 0, nOks = 0; nAction < kMaxActions && !m_in.Empty(); ++nAction) {
        const int nOp = m_in.Pick(14);
        if (nOp == 0 && m_pSession)
            Load();
        else if (nOp == 0)
            Started(); // a start loads
        else if (nOp <= 9)
            Command(nOp);
        else if (nOp == 10)
            Edit();
        else if (nOp == 11)
            m_fault = {m_in.Pick(9), m_in.Pick(16)};
        else if (nOp == 12 && nOks++ < kMaxOks)
            Ok();
        else if (nOp == 13)
            m_pSession.reset(); // Can: the window closes, nothing is written
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CInput in(pData, nSize);
    CPlay(in).Run();
    return 0;
}
