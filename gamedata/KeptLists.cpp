#include "gamedata/KeptLists.h"

#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <tuple>

namespace {

constexpr std::string_view kPrefix = "opponent-";
constexpr std::string_view kSuffix = ".txt";
// The order file needs about 40 bytes a copy. Only this much of it is read, so that a huge file
// costs nothing: what is cut off lists the oldest copies, which rank below the listed ones anyway.
constexpr std::uint64_t kMaxOrderBytes = 64 * 1024;
constexpr std::string_view kLineEnd = "\r\n";

// The value of exactly nDigits decimal digits at the front of str, taken off it.
std::optional<int> TakeDigits(std::string_view& str, std::size_t nDigits) {
    if (str.size() < nDigits || !std::all_of(str.begin(), str.begin() + nDigits,
                                             [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int nValue = 0;
    std::from_chars(str.data(), str.data() + nDigits, nValue);
    str.remove_prefix(nDigits);
    return nValue;
}

bool TakeChar(std::string_view& str, char c) {
    if (str.empty() || str.front() != c)
        return false;
    str.remove_prefix(1);
    return true;
}

// Reads a kept copy's name; none for any other name.
std::optional<KeptList> ParseName(std::string_view strName) {
    if (strName.size() < kPrefix.size() + kSuffix.size() ||
        !EqualNoCase(strName.substr(0, kPrefix.size()), kPrefix) ||
        !EqualNoCase(strName.substr(strName.size() - kSuffix.size()), kSuffix))
        return std::nullopt;
    std::string_view str = strName.substr(kPrefix.size());
    str.remove_suffix(kSuffix.size());

    KeptList kept;
    KeptListTime& t = kept.m_time;
    for (const auto& [pnField, nDigits] : {std::pair{&t.m_nYear, 4},
                                           {&t.m_nMonth, 2},
                                           {&t.m_nDay, 2},
                                           {nullptr, 0},
                                           {&t.m_nHour, 2},
                                           {&t.m_nMinute, 2},
                                           {&t.m_nSecond, 2}}) {
        if (pnField == nullptr) {
            if (!TakeChar(str, '-'))
                return std::nullopt;
            continue;
        }
        const std::optional<int> nValue = TakeDigits(str, static_cast<std::size_t>(nDigits));
        if (!nValue)
            return std::nullopt;
        *pnField = *nValue;
    }
    if (t.m_nMonth < 1 || t.m_nMonth > 12 || t.m_nDay < 1 || t.m_nDay > 31 || t.m_nHour > 23 ||
        t.m_nMinute > 59 || t.m_nSecond > 60)
        return std::nullopt;
    if (TakeChar(str, '-')) {
        // "-2" and up, written without leading zeros, as KeptListName makes them.
        if (str.empty() || str.size() > 9 || str.front() == '0')
            return std::nullopt;
        const std::optional<int> nSequence = TakeDigits(str, str.size());
        if (!nSequence || *nSequence < 2)
            return std::nullopt;
        kept.m_nSequence = *nSequence;
    }
    if (!str.empty())
        return std::nullopt;
    kept.m_strPath = std::string(kKeptListFolder) + "\\" + std::string(strName);
    return kept;
}

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string InFolder(std::string_view strName) {
    return std::string(kKeptListFolder) + "\\" + std::string(strName);
}

std::string_view NameOf(const KeptList& kept) {
    return std::string_view(kept.m_strPath).substr(kept.m_strPath.rfind('\\') + 1);
}

enum class OrderState { Missing, Sound, Damaged };

struct KeptOrder {
    OrderState m_state = OrderState::Missing;
    std::map<std::string, std::size_t> m_mapPlace; // lower-case name -> place, 0 the newest
};

// The order file: a kept copy's name a line, newest first. A file that cannot be read or holds
// any other line is damaged, though the names it does hold still count.
KeptOrder ReadOrder() {
    KeptOrder order;
    std::string strBytes;
    try {
        CFile file(InFolder(kKeptListOrderName), CFile::modeRead);
        strBytes.resize(static_cast<std::size_t>(std::min(file.GetLength(), kMaxOrderBytes)));
        strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
        if (file.GetLength() > kMaxOrderBytes)
            strBytes.erase(strBytes.rfind('\n') + 1); // the cut line, or all of it without one
    } catch (const CFileException& e) {
        const bool bMissing =
            e.m_cause == CFileException::fileNotFound || e.m_cause == CFileException::badPath;
        order.m_state = bMissing ? OrderState::Missing : OrderState::Damaged;
        return order;
    }
    order.m_state = OrderState::Sound;
    std::string_view str = strBytes;
    while (!str.empty()) {
        const std::size_t nEnd = str.find('\n');
        std::string_view strLine = str.substr(0, nEnd);
        str.remove_prefix(nEnd == std::string_view::npos ? str.size() : nEnd + 1);
        if (strLine.ends_with('\r'))
            strLine.remove_suffix(1);
        // A line without its end was cut short.
        if (nEnd == std::string_view::npos || !ParseName(strLine))
            order.m_state = OrderState::Damaged;
        else
            order.m_mapPlace.try_emplace(AsciiLower(std::string(strLine)), order.m_mapPlace.size());
    }
    return order;
}

struct KeptCopies {
    std::vector<KeptList> m_aKept; // newest first
    KeptOrder m_order;
};

KeptCopies ReadKeptCopies() {
    KeptCopies copies;
    for (const FolderEntry& entry : FindFiles(InFolder("*"))) {
        if (entry.bDirectory)
            continue;
        if (std::optional<KeptList> kept = ParseName(entry.strName))
            copies.m_aKept.push_back(std::move(*kept));
    }
    if (copies.m_aKept.empty())
        return copies; // nothing to order: the order file is not even read
    copies.m_order = ReadOrder();

    // Listed copies by their place; the others by their names' time, below the listed ones, or
    // above them when the order file is damaged and nothing says they are older.
    const bool bUnlistedFirst = copies.m_order.m_state == OrderState::Damaged;
    std::vector<std::pair<std::pair<bool, std::size_t>, KeptList>> aRanked;
    for (KeptList& kept : copies.m_aKept) {
        const auto it = copies.m_order.m_mapPlace.find(AsciiLower(std::string(NameOf(kept))));
        const bool bListed = it != copies.m_order.m_mapPlace.end();
        aRanked.push_back({{bListed == bUnlistedFirst, bListed ? it->second : 0}, std::move(kept)});
    }
    std::sort(aRanked.begin(), aRanked.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return std::tie(a.second.m_time, a.second.m_nSequence) >
               std::tie(b.second.m_time, b.second.m_nSequence);
    });
    for (std::size_t i = 0; i < aRanked.size(); ++i)
        copies.m_aKept[i] = std::move(aRanked[i].second);
    return copies;
}

} // namespace

KeptListTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    // Only the one user-interface thread asks, so the shared result of localtime is safe.
    const std::tm* pLocal = std::localtime(&now);
    if (pLocal == nullptr)
        return {1970, 1, 1, 0, 0, 0};
    return {pLocal->tm_year + 1900, pLocal->tm_mon + 1, pLocal->tm_mday,
            pLocal->tm_hour,        pLocal->tm_min,     pLocal->tm_sec};
}

std::string KeptListName(const KeptListTime& time, int nSequence) {
    std::string strYear = std::to_string(time.m_nYear);
    strYear.insert(0, strYear.size() < 4 ? 4 - strYear.size() : 0, '0');
    return std::string(kPrefix) + strYear + TwoDigits(time.m_nMonth) + TwoDigits(time.m_nDay) +
           "-" + TwoDigits(time.m_nHour) + TwoDigits(time.m_nMinute) + TwoDigits(time.m_nSecond) +
           (nSequence > 1 ? "-" + std::to_string(nSequence) : "") + std::string(kSuffix);
}

std::vector<KeptList> ListKeptLists() {
    return ReadKeptCopies().m_aKept;
}

std::string KeepListCopy(std::string_view strBytes, const KeptListTime& time) {
    CFile::CreateFolder(kKeptListFolder);
    const KeptCopies copies = ReadKeptCopies();
    std::string strName;
    for (int n = 1;; ++n) {
        strName = KeptListName(time, n);
        if (!CFile::EntryExists(InFolder(strName)))
            break;
    }
    // The new copy is named in the order before it exists: a save stopped in between leaves a
    // name without a copy, which counts for nothing, never a copy the order leaves out, which the
    // next save would delete. When the order was damaged every copy stays listed, for now.
    std::string strOrder = strName + std::string(kLineEnd);
    const std::size_t nOthers = copies.m_order.m_state == OrderState::Damaged
                                    ? copies.m_aKept.size()
                                    : std::min(copies.m_aKept.size(), kKeptListsKept - 1);
    for (std::size_t i = 0; i < nOthers; ++i)
        strOrder += std::string(NameOf(copies.m_aKept[i])) + std::string(kLineEnd);
    WriteWholeFile(InFolder(kKeptListOrderName), strOrder, ExistingFile::Replace);

    // Refusing an existing name: a copy made in the meantime by another save stays as it is.
    const std::string strPath = InFolder(strName);
    WriteWholeFile(strPath, strBytes, ExistingFile::Refuse);
    return strPath;
}

void PruneKeptLists(const std::string& strJustKept) {
    const KeptCopies copies = ReadKeptCopies();
    if (copies.m_order.m_state != OrderState::Sound)
        return; // nothing says which copies are the newest: all stay
    for (const KeptList& kept : copies.m_aKept) {
        if (copies.m_order.m_mapPlace.contains(AsciiLower(std::string(NameOf(kept)))) ||
            EqualNoCase(kept.m_strPath, strJustKept))
            continue;
        try {
            CFile::Remove(kept.m_strPath);
        } catch (const CFileException&) {
            // Left for the next save; the list itself is saved.
        }
    }
}
