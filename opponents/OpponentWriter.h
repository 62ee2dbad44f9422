#pragma once

#include "opponents/CarRecord.h"

#include <memory>
#include <span>
#include <string>

inline constexpr const char* kOpponentList = "data\\opponent.txt";

// Writes the records, in order, as the game's opponent list. The text goes to a temporary file
// beside the list, which then replaces the list in one step: on failure the old list is unchanged.
void WriteOpponentList(std::span<const std::unique_ptr<CarRecord>> apRecords);

// Writes the record's text as car file m_strCarName + ".C2C" in the current directory. Never
// overwrites: when that name exists in any case, the first free "NAME (2).C2C", "NAME (3).C2C", ...
// is used. Refuses (CFileException) a name that is not a safe plain file name. Returns the name.
std::string WriteCarFile(const CarRecord& record);

// True when strName can be the name of a file in the current folder on every platform.
bool IsSafeCarName(const std::string& strName);
