#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The copies of the opponent list that Ok keeps before it replaces the list:
// "data\backups\opponent-YYYYMMDD-HHMMSS.txt" in the local time of the save, with "-2", "-3", ...
// before ".txt" when that name was taken. Only names of exactly this form are kept copies.

inline constexpr const char* kKeptListFolder = "data\\backups";
inline constexpr std::size_t kKeptListsKept = 20; // the newest this many stay

// A local time to the second, as a kept copy's name carries it.
struct KeptListTime {
    int m_nYear = 0;
    int m_nMonth = 0; // 1 to 12
    int m_nDay = 0;   // 1 to 31
    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nSecond = 0;
    auto operator<=>(const KeptListTime&) const = default;
};

struct KeptList {
    std::string m_strPath; // "data\backups\opponent-20261208-094501-2.txt"
    KeptListTime m_time;   // from the name
    int m_nSequence = 1;   // 1, or n of the "-n" that follows the time
};

[[nodiscard]] KeptListTime LocalTimeNow();

// The name a copy kept at that time gets: "opponent-YYYYMMDD-HHMMSS.txt", or with "-n" for n > 1.
[[nodiscard]] std::string KeptListName(const KeptListTime& time, int nSequence);

// The kept copies, newest first: by the time in the name, then by the sequence number. A missing
// folder holds none.
[[nodiscard]] std::vector<KeptList> ListKeptLists();

// Keeps the bytes as a new copy stamped with the time, making the folder when needed, and gives
// its path. Never replaces a copy. Raises CFileException, leaving no part of the copy behind.
std::string KeepListCopy(std::string_view strBytes, const KeptListTime& time);

// Deletes all but the newest kKeptListsKept copies, and never strJustKept: that one is the newest
// in fact even when the clock went back. A copy that cannot be deleted now goes at a later save.
void PruneKeptLists(const std::string& strJustKept);
