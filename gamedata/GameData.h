#pragma once

#include <functional>
#include <string>

// Unpacks "data.twt" into loose files under "data\" and retires it to "data.twat". An entry whose
// file exists under "data\" in any case is not written: the loose file is newer. Each file is
// written under a temporary name and renamed into place; when any entry fails, every file this
// run wrote is removed again and the archive stays as it was. Swallows every file error and gives
// instead what the player should be told: empty when the archive is missing, or was unpacked and
// retired. onEntry, when given, hears before each entry and at the end how many of how many are
// done, so that a long unpacking can be shown.
[[nodiscard]] std::string
UnpackArchive(const std::function<void(int nDone, int nTotal)>& onEntry = {});

// The opponent list as it was before this program first changed it.
inline constexpr const char* kOpponentListBackup = "data\\OPPONENT.OLD";

// Copies "data\opponent.txt" to "data\OPPONENT.OLD" unless a backup exists. Raises CFileException.
void BackupOpponentList();

// True when the opponent list can be brought back: "data\OPPONENT.OLD" or a kept copy of the
// list (see KeptLists.h) exists.
[[nodiscard]] bool HasOpponentListBackup();

// True when an archive entry name stays inside "data\" and names files: not empty, not absolute,
// no drive letter or ':', no ".." component and no Windows device name ('\' and '/' both
// separate).
bool IsSafeEntryName(const std::string& strName);
