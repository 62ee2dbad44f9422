#pragma once

#include <string>

// Unpacks "data.twt" into loose files under "data\" and retires it to "data.twat". Does nothing
// when the archive is missing or damaged; swallows every file error.
void UnpackArchive();

// Copies "data\opponent.txt" to "data\OPPONENT.OLD" unless a backup exists. Raises CFileException.
void BackupOpponentList();

// True when an archive entry name stays inside "data\" and names files: not empty, not absolute,
// no drive letter or ':', no ".." component and no Windows device name ('\' and '/' both
// separate).
bool IsSafeEntryName(const std::string& strName);
