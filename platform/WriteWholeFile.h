#pragma once

#include <string>
#include <string_view>

// What to do when the file to write exists already.
enum class ExistingFile { Replace, Refuse };

// Writes the bytes to strPath + ".new", pushes them to the disk and then moves that file to
// strPath in one step, over an existing file or refusing one. A crash or failure at any point
// leaves strPath as it was, never half written; on failure the temporary file is removed and the
// CFileException passes on.
void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing);
