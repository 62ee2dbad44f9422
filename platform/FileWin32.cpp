// The file layer's primitives on Windows. Paths go to the system as they are: it ignores case
// itself.
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/SystemFile.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

// A folder search, closed however the listing ends.
using CFindHandle = CUniqueHandle<HANDLE, &::FindClose, -1>;

int CauseOf(DWORD nError) {
    switch (nError) {
    case ERROR_FILE_NOT_FOUND:
        return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_WRITE_PROTECT:
        return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE:
        return CFileException::invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return CFileException::removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return CFileException::directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return CFileException::badSeek;
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION:
        return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CFileException::diskFull;
    case ERROR_HANDLE_EOF:
        return CFileException::endOfFile;
    default:
        return CFileException::genericException;
    }
}

std::string SystemText(DWORD nError) {
    char szText[512] = {};
    const DWORD nLength = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                         nullptr, nError, 0, szText, sizeof szText, nullptr);
    if (nLength == 0)
        return "system error " + std::to_string(nError);
    return std::string(szText, nLength);
}

[[noreturn]] void ThrowError(DWORD nError, const std::string& strPath,
                             const std::string& strAction) {
    throw CFileException(CauseOf(nError), static_cast<long>(nError), strPath, strAction,
                         SystemText(nError));
}

[[noreturn]] void ThrowLastError(const std::string& strPath, const std::string& strAction) {
    ThrowError(GetLastError(), strPath, strAction);
}

HANDLE HandleOf(SystemFile::Handle nHandle) {
    return reinterpret_cast<HANDLE>(nHandle);
}

// The system's calls take 32-bit counts.
DWORD Chunk(std::size_t nCount) {
    return static_cast<DWORD>(std::min<std::size_t>(nCount, std::numeric_limits<DWORD>::max()));
}

// Inside a CFolderListingScope, the names of folders in which an open has missed, case folded;
// none when the folder does not exist. Under Wine every open of a missing file compares the whole
// folder's names, so probing for thousands of missing pictures grew with the square of their
// number. A folder is listed only after a miss in it: listing folders whose files are all there
// would cost requests that the opens themselves do not need.
using Listing = std::optional<std::set<std::string>>;
std::map<std::string, Listing> s_mapListings;

// Lists strFolder for the scope, unless it is listed already.
void KeepListing(const std::string& strFolder) {
    const std::string strKey = AsciiLower(strFolder);
    if (s_mapListings.contains(strKey))
        return;
    Listing names;
    WIN32_FIND_DATAA data;
    if (const CFindHandle hFind(
            FindFirstFileA((strFolder.empty() ? "*" : strFolder + "\\*").c_str(), &data));
        hFind) {
        names.emplace();
        do {
            names->insert(AsciiLower(data.cFileName));
            if (data.cAlternateFileName[0] != '\0')
                names->insert(AsciiLower(data.cAlternateFileName));
        } while (FindNextFileA(hFind.Get(), &data));
    } else if (GetLastError() != ERROR_PATH_NOT_FOUND) {
        return; // not known either way
    }
    s_mapListings.emplace(strKey, std::move(names));
}

// A name the system takes as it is spelt, so that a listing can answer for it: no wild cards, no
// bytes whose case folding is not plain ASCII, nothing the system would alter or resolve (trailing
// dots or spaces, "." and "..", drive letters).
bool IsPlainName(const std::string& strName) {
    return !strName.empty() && strName.back() != '.' && strName.back() != ' ' &&
           strName.find_first_of("*?:") == std::string::npos &&
           std::none_of(strName.begin(), strName.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The folder part and the name of a path ("" for the current directory).
std::pair<std::string, std::string> Split(const std::string& strPath) {
    const std::size_t nSlash = strPath.find_last_of("\\/");
    if (nSlash == std::string::npos)
        return {"", strPath};
    return {strPath.substr(0, nSlash), strPath.substr(nSlash + 1)};
}

// The error opening strPath for reading would give when kept listings show it absent, or 0 when
// only the system can tell. The folder itself is known missing when a kept listing of any folder
// above it lacks the next name down.
DWORD KnownAbsence(const std::string& strPath) {
    if (!SystemFile::InListingScope() || s_mapListings.empty())
        return 0;
    std::string strInner = strPath;
    DWORD nAbsent = ERROR_FILE_NOT_FOUND;
    while (true) {
        const auto [strFolder, strName] = Split(strInner);
        if (!IsPlainName(strName))
            return 0;
        if (const auto it = s_mapListings.find(AsciiLower(strFolder)); it != s_mapListings.end()) {
            if (!it->second)
                return ERROR_PATH_NOT_FOUND;
            return it->second->contains(AsciiLower(strName)) ? 0 : nAbsent;
        }
        if (strFolder.empty())
            return 0;
        strInner = strFolder;
        nAbsent = ERROR_PATH_NOT_FOUND;
    }
}

} // namespace

void SystemFile::ForgetFolderListings() {
    s_mapListings.clear();
}

SystemFile::Opened SystemFile::Open(const std::string& strPath, unsigned nFlags,
                                    const std::string& strAction) {
    const bool bWrite = (nFlags & CFile::modeWrite) != 0;
    const bool bCreate = (nFlags & CFile::modeCreate) != 0;
    if (!bWrite)
        if (const DWORD nAbsent = KnownAbsence(strPath); nAbsent != 0)
            ThrowError(nAbsent, strPath, strAction);

    const DWORD nDisposition = !(bWrite && bCreate)                   ? OPEN_EXISTING
                               : (nFlags & CFile::modeCreateNew) != 0 ? CREATE_NEW
                                                                      : CREATE_ALWAYS;
    const HANDLE h = CreateFileA(strPath.c_str(), bWrite ? GENERIC_WRITE : GENERIC_READ,
                                 FILE_SHARE_READ | (bWrite ? 0 : FILE_SHARE_WRITE), nullptr,
                                 nDisposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD nError = GetLastError();
        if (!bWrite && SystemFile::InListingScope() && nError == ERROR_FILE_NOT_FOUND) {
            const auto [strFolder, strName] = Split(strPath);
            if (IsPlainName(strName))
                KeepListing(strFolder); // so that the next miss here is answered without asking
        }
        ThrowError(nError, strPath, strAction);
    }
    // Some systems hand out folder handles for reading, and a device name opens a device. Only
    // the attributes are asked for: the whole file information also asks for the volume, which
    // under Wine is a round trip through another process at every open.
    FILE_BASIC_INFO info{};
    Kind kind = Kind::File;
    if (GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info) &&
        (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        kind = Kind::Folder;
    else if (!bWrite && GetFileType(h) != FILE_TYPE_DISK)
        kind = Kind::Other;
    return {reinterpret_cast<Handle>(h), kind};
}

long SystemFile::NotAFileError(Kind) {
    return ERROR_ACCESS_DENIED;
}

std::size_t SystemFile::Read(Handle h, const std::string& strPath, void* pBuffer,
                             std::size_t nCount) {
    DWORD nRead = 0;
    if (!ReadFile(HandleOf(h), pBuffer, Chunk(nCount), &nRead, nullptr)) {
        const DWORD nError = GetLastError();
        if (nError != ERROR_HANDLE_EOF && nError != ERROR_BROKEN_PIPE)
            ThrowError(nError, strPath, SystemFile::kReadFrom);
        nRead = 0;
    }
    return nRead;
}

std::size_t SystemFile::Write(Handle h, const std::string& strPath, const void* pBuffer,
                              std::size_t nCount) {
    DWORD nWritten = 0;
    if (!WriteFile(HandleOf(h), pBuffer, Chunk(nCount), &nWritten, nullptr))
        ThrowLastError(strPath, SystemFile::kWriteTo);
    if (nWritten == 0)
        ThrowError(ERROR_DISK_FULL, strPath, SystemFile::kWriteTo);
    return nWritten;
}

void SystemFile::Seek(Handle h, const std::string& strPath, std::uint64_t nOffset) {
    if (nOffset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()))
        ThrowError(ERROR_NEGATIVE_SEEK, strPath, SystemFile::kMoveWithin);
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!SetFilePointerEx(HandleOf(h), distance, nullptr, FILE_BEGIN))
        ThrowLastError(strPath, SystemFile::kMoveWithin);
}

std::uint64_t SystemFile::Length(Handle h, const std::string& strPath) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(HandleOf(h), &size))
        ThrowLastError(strPath, SystemFile::kGetSizeOf);
    return static_cast<std::uint64_t>(size.QuadPart);
}

void SystemFile::Flush(Handle h, const std::string& strPath) {
    // A file opened for reading has nothing to push, and the system refuses to flush it.
    if (!FlushFileBuffers(HandleOf(h)) && GetLastError() != ERROR_ACCESS_DENIED)
        ThrowLastError(strPath, SystemFile::kSave);
}

void SystemFile::Close(Handle h, const std::string& strPath) {
    if (!::CloseHandle(HandleOf(h)))
        ThrowLastError(strPath, SystemFile::kClose);
}

void SystemFile::CloseQuietly(Handle h) noexcept {
    ::CloseHandle(HandleOf(h));
}

bool SystemFile::EntryExists(const std::string& strPath) {
    // Asks for the name's attributes without opening it, so a locked file or a folder counts.
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SystemFile::IsReadOnly(const std::string& strPath) {
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void SystemFile::CreateFolder(const std::string& strPath, const std::string& strAction) {
    if (CreateDirectoryA(strPath.c_str(), nullptr))
        return;
    const DWORD nError = GetLastError();
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    if (nError == ERROR_ALREADY_EXISTS && nAttributes != INVALID_FILE_ATTRIBUTES &&
        (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    ThrowError(nError, strPath, strAction);
}

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

void SystemFile::Remove(const std::string& strPath, const std::string& strAction) {
    if (!DeleteFileA(strPath.c_str()))
        ThrowLastError(strPath, strAction);
}

void SystemFile::Rename(const std::string& strOld, const std::string& strNew,
                        const std::string& strAction) {
    if (!MoveFileA(strOld.c_str(), strNew.c_str()))
        ThrowLastError(strOld, strAction);
}

void SystemFile::Replace(const std::string& strSource, const std::string& strTarget,
                         const std::string& strAction) {
    if (!MoveFileExA(strSource.c_str(), strTarget.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError(strSource, strAction);
}

std::vector<SystemFile::FolderEntry>
SystemFile::ListFolder(const std::string& strPattern,
                       const std::function<bool(const std::string&)>& bAccept) {
    std::vector<FolderEntry> aEntries;
    WIN32_FIND_DATAA data;
    const CFindHandle hFind(FindFirstFileA(strPattern.empty() ? "*" : strPattern.c_str(), &data));
    if (!hFind)
        return aEntries;
    do {
        // The system matches short names too, so "*.c2c" finds "old.c2c_old" as "OLD~1.C2C";
        // bAccept sees only the long name.
        const std::string strName = data.cFileName;
        if (bAccept(strName))
            aEntries.push_back({strName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(hFind.Get(), &data));
    return aEntries;
}
