#pragma once

#include "platform/UniqueHandle.h"

#include <dirent.h>

#include <string>

// Linux only. The program writes paths as on a file system that ignores case, with backslashes;
// this maps them onto the real names. Every component is matched with ASCII case folding: an
// exact match wins, otherwise the first match in byte-wise name order. A component that matches
// nothing keeps the spelling given, and so do all after it. Nothing is cached between calls,
// except inside a CFolderListingScope (File.h).
struct ResolvedPath {
    std::string strPath; // with '/' separators
    bool bExists;        // the last component was found
};
ResolvedPath ResolvePath(const std::string& strPath);

// An open folder listing, closed however the reading ends.
using CDirHandle = CUniqueHandle<DIR*, &closedir>;
