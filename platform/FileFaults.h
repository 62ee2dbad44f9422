#pragma once

#include <functional>
#include <string>

// The seam through which tests make file operations fail, as a broken disk would.
enum class FileOp { Open, Create, Read, Write, Flush, Close, Remove, Rename };

// Called before each operation with the path concerned (for a move, the source);
// returning true makes the operation raise CFileException (cause hardIO) without touching the disk.
// An empty hook (the default) fails nothing.
using FileFaultHook = std::function<bool(FileOp, const std::string& strPath)>;
void SetFileFaultHook(FileFaultHook hook);

// Asks the hook about one operation and raises the simulated failure when it says so. File.cpp
// calls it first thing in every operation; with no hook set it costs one test.
void CheckFileFault(FileOp op, const std::string& strPath, const char* pszAction);
