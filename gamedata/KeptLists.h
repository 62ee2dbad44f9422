#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The copies of the opponent list that Ok keeps before it replaces the list:
// "data\backups\opponent-YYYYMMDD-HHMMSS.txt" in the local time of the save, with "-2", "-3", ...
// before ".txt" when that name was taken. Only names of exactly this form are kept copies.
//
// Which copies are newest cannot come from the names: the clock goes back (the end of summer time,
// a corrected clock). So each save names its copy at the top of an order file in the same folder,
// newest first, before the copy is made, and that file says which copies stay: those it lists.
// Copies it does not list (kept by an earlier version, or when the file was lost) rank by the time
// in their names below the listed ones; when the file is damaged they rank above them instead, so
// that the doubt falls on keeping them.

inline constexpr const char* kKeptListFolder = "data\\backups";
inline constexpr const char* kKeptListOrderName = "kept-order.txt"; // in kKeptListFolder
inline constexpr std::size_t kKeptListsKept = 20; // the copies made last that stay

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

// The kept copies, newest first: as the order file lists them, the others by the time in the name,
// then by the sequence number. A missing folder holds none.
[[nodiscard]] std::vector<KeptList> ListKeptLists();

// Keeps the bytes as a new copy stamped with the time, making the folder when needed, and gives
// its path. Never replaces a copy. First writes the order file: the new copy, then the newest
// kKeptListsKept - 1 others (all of them when the order file was damaged). Raises CFileException,
// leaving no part of the copy behind.
std::string KeepListCopy(std::string_view strBytes, const KeptListTime& time);

// Deletes the copies the order file leaves out, and never strJustKept. Without a sound order file
// it deletes nothing. A copy that cannot be deleted now goes at a later save.
void PruneKeptLists(const std::string& strJustKept);
