#pragma once

#include <functional>
#include <string>
#include <string_view>

class CFile;

// What to do when the file to write exists already.
enum class ExistingFile { Replace, Refuse };

// Writes a whole file: the bytes go to a temporary file beside strPath, made new under a name no
// other save uses ("NAME.new-<process>-<n>", never an existing file or a link), are pushed to the
// disk, and that file is then moved to strPath in one step, over an existing file or refusing
// one. A crash or failure at any point leaves strPath as it was, never half written; on failure
// the temporary file is removed and the CFileException passes on.
void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing);

// The same, for contents too large to hold at once: writeBytes writes them into the open file.
void WriteWholeFile(const std::string& strPath, const std::function<void(CFile&)>& writeBytes,
                    ExistingFile existing);

// The name of the temporary file for strPath that this process tries as its nth.
std::string TemporaryName(const std::string& strPath, int n);
