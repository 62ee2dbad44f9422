#pragma once

#include "platform/File.h"

#include <cstdint>
#include <string>
#include <vector>

// The primitives each system gives the file layer (FilePosix.cpp, FileWin32.cpp). Everything
// else the layer does, the same on every system, is in File.cpp: fault checks, action texts,
// read and write loops, refusing what is not a file, forgetting folder listings. A primitive
// that fails raises CFileException naming strPath and strAction ("{}" stands for the path).
namespace SystemFile {

using Handle = std::intptr_t;

// How the messages name each operation on an open file.
inline constexpr char kReadFrom[] = "read from";
inline constexpr char kWriteTo[] = "write to";
inline constexpr char kMoveWithin[] = "move within";
inline constexpr char kSave[] = "save";
inline constexpr char kClose[] = "close";

enum class Kind { File, Folder, Other };
struct Opened {
    Handle nHandle;
    Kind kind;             // what the name turned out to be
    std::uint64_t nLength; // told with the kind: a read need not ask for it again
};
Opened Open(const std::string& strPath, CFile::Mode mode, const std::string& strAction);

// One read of at most 1 GiB at the system's position; 0 at the end.
std::size_t Read(Handle h, const std::string& strPath, void* pBuffer, std::size_t nCount);
// One write of at most 1 GiB at the system's position; at least one byte, or raises.
std::size_t Write(Handle h, const std::string& strPath, const void* pBuffer, std::size_t nCount);
void Seek(Handle h, const std::string& strPath, std::uint64_t nOffset);
void Flush(Handle h, const std::string& strPath);
// Releases the handle even when it raises.
void Close(Handle h, const std::string& strPath);
void CloseQuietly(Handle h) noexcept;

// A folder that exists already is no error.
void CreateFolder(const std::string& strPath, const std::string& strAction);
void Remove(const std::string& strPath, const std::string& strAction);
// A refused strTo that is strFrom itself in another case is no error: the move changes the case.
void Move(const std::string& strFrom, const std::string& strTo, ExistingFile existing,
          const std::string& strAction);

// The entries of the folder strPattern names, "." and ".." too; none when the folder cannot be
// read.
std::vector<FolderEntry> ListFolder(const std::string& strPattern);

// True while a CFolderListingScope lives (kept in File.cpp).
bool InListingScope();
// Drops the listings the system keeps inside a scope.
void ForgetFolderListings();

} // namespace SystemFile
