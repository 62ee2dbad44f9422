#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The primitives each system gives the file layer (FilePosix.cpp, FileWin32.cpp). Everything
// else the layer does, the same on every system, is in File.cpp: fault checks, action texts,
// buffering, write loops, refusing what is not a file, forgetting folder listings. A primitive
// that fails raises CFileException naming strPath and strAction ("{}" stands for the path).
namespace SystemFile {

using Handle = std::intptr_t;

// How the messages name each operation on an open file.
inline constexpr char kReadFrom[] = "read from";
inline constexpr char kWriteTo[] = "write to";
inline constexpr char kMoveWithin[] = "move within";
inline constexpr char kGetSizeOf[] = "get the size of";
inline constexpr char kSave[] = "save";
inline constexpr char kClose[] = "close";

enum class Kind { File, Folder, Other };
struct Opened {
    Handle nHandle;
    Kind kind; // what the name turned out to be
};
// Opens with CFile's flags: reading, writing, creating, creating only a new name.
Opened Open(const std::string& strPath, unsigned nFlags, const std::string& strAction);
// A system error code to report when what was opened is not a file.
long NotAFileError(Kind kind);

// One read at the system's position; 0 at the end.
std::size_t Read(Handle h, const std::string& strPath, void* pBuffer, std::size_t nCount);
// One write at the system's position; at least one byte, or raises.
std::size_t Write(Handle h, const std::string& strPath, const void* pBuffer, std::size_t nCount);
void Seek(Handle h, const std::string& strPath, std::uint64_t nOffset);
std::uint64_t Length(Handle h, const std::string& strPath);
void Flush(Handle h, const std::string& strPath);
// Releases the handle even when it raises.
void Close(Handle h, const std::string& strPath);
void CloseQuietly(Handle h) noexcept;

bool EntryExists(const std::string& strPath);
bool IsReadOnly(const std::string& strPath);
// A folder that exists already is no error.
void CreateFolder(const std::string& strPath, const std::string& strAction);
void Remove(const std::string& strPath, const std::string& strAction);
// Fails when strNew exists, unless it is strOld itself in another case.
void Rename(const std::string& strOld, const std::string& strNew, const std::string& strAction);
void Replace(const std::string& strSource, const std::string& strTarget,
             const std::string& strAction);

struct FolderEntry {
    std::string strName;
    bool bDirectory;
};
// The entries of the folder strPattern names whose names bAccept takes; none when the folder
// cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& strPattern,
                                    const std::function<bool(const std::string&)>& bAccept);

// True while a CFolderListingScope lives (kept in File.cpp).
bool InListingScope();
// Drops the listings the system keeps inside a scope.
void ForgetFolderListings();

} // namespace SystemFile
