#include "gamedata/KeptLists.h"

#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/WriteWholeFile.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <optional>
#include <tuple>

namespace {

constexpr std::string_view kPrefix = "opponent-";
constexpr std::string_view kSuffix = ".txt";

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
    std::vector<KeptList> aKept;
    CFileFind finder;
    for (bool bMore = finder.FindFile(std::string(kKeptListFolder) + "\\*"); bMore;
         bMore = finder.FindNextFile()) {
        if (finder.IsDirectory())
            continue;
        if (std::optional<KeptList> kept = ParseName(finder.GetFileName()))
            aKept.push_back(std::move(*kept));
    }
    std::sort(aKept.begin(), aKept.end(), [](const KeptList& a, const KeptList& b) {
        return std::tie(a.m_time, a.m_nSequence) > std::tie(b.m_time, b.m_nSequence);
    });
    return aKept;
}

std::string KeepListCopy(std::string_view strBytes, const KeptListTime& time) {
    CFile::CreateFolder(kKeptListFolder);
    std::string strPath;
    for (int n = 1;; ++n) {
        strPath = std::string(kKeptListFolder) + "\\" + KeptListName(time, n);
        if (!CFile::EntryExists(strPath))
            break;
    }
    // Refusing an existing name: a copy made in the meantime by another save stays as it is.
    WriteWholeFile(strPath, strBytes, ExistingFile::Refuse);
    return strPath;
}

void PruneKeptLists(const std::string& strJustKept) {
    const std::vector<KeptList> aKept = ListKeptLists();
    for (std::size_t i = kKeptListsKept; i < aKept.size(); ++i) {
        if (EqualNoCase(aKept[i].m_strPath, strJustKept))
            continue;
        try {
            CFile::Remove(aKept[i].m_strPath);
        } catch (const CFileException&) {
            // Left for the next save; the list itself is saved.
        }
    }
}
