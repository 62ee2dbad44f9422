// The file layer's primitives on Windows. Paths go to the system as they are: it ignores case
// itself.
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/SystemFile.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

// Only the causes some caller tells apart; every other error is generic.
int CauseOf(DWORD nError) {
    static constexpr std::pair<DWORD, int> kCauses[] = {
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_INVALID_NAME, CFileException::badPath},
        {ERROR_BAD_PATHNAME, CFileException::badPath},
        {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    };
    for (const auto& [nKnown, nCause] : kCauses)
        if (nKnown == nError)
            return nCause;
    return CFileException::genericException;
}

std::string SystemText(DWORD nError) {
    char szText[512] = {};
    const DWORD nLength = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                         nullptr, nError, 0, szText, sizeof szText, nullptr);
    return nLength == 0 ? "system error " + std::to_string(nError) : std::string(szText, nLength);
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

// A folder search, closed however the listing ends; none when the system found nothing.
using CFindHandle = CUniqueHandle<HANDLE, &::FindClose>;
CFindHandle FindFirst(const std::string& strPattern, WIN32_FIND_DATAA& data) {
    const HANDLE h = FindFirstFileA(strPattern.c_str(), &data);
    return CFindHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
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
    if (const CFindHandle hFind = FindFirst(strFolder.empty() ? "*" : strFolder + "\\*", data)) {
        names.emplace();
        do {
            names->insert(AsciiLower(data.cFileName));
            if (data.cAlternateFileName[0] != '\0')
                names->insert(AsciiLower(data.cAlternateFileName));
        } while (FindNextFileA(hFind.get(), &data));
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

SystemFile::Opened SystemFile::Open(const std::string& strPath, CFile::Mode mode,
                                    const std::string& strAction) {
    const bool bWrite = mode == CFile::modeCreateNew;
    if (!bWrite)
        if (const DWORD nAbsent = KnownAbsence(strPath); nAbsent != 0)
            ThrowError(nAbsent, strPath, strAction);

    const DWORD nDisposition = bWrite ? CREATE_NEW : OPEN_EXISTING;
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
    // Some systems hand out folder handles for reading, and a device name opens a device. The
    // standard information tells a folder and the length at once; the whole file information
    // also asks for the volume, which under Wine is a round trip through another process.
    FILE_STANDARD_INFO info{};
    Kind kind = Kind::File;
    if (GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info) == FALSE) {
        const DWORD nError = GetLastError();
        if (GetFileType(h) == FILE_TYPE_DISK) { // a file whose length is unknown cannot be read
            ::CloseHandle(h);
            ThrowError(nError, strPath, strAction);
        }
        kind = Kind::Other;
    } else if (info.Directory) {
        kind = Kind::Folder;
    } else if (GetFileType(h) != FILE_TYPE_DISK) {
        kind = Kind::Other;
    }
    return {reinterpret_cast<Handle>(h), kind, static_cast<std::uint64_t>(info.EndOfFile.QuadPart)};
}

std::size_t SystemFile::Read(Handle h, const std::string& strPath, void* pBuffer,
                             std::size_t nCount) {
    DWORD nRead = 0;
    // At the end of a file a synchronous read succeeds with no bytes.
    if (!ReadFile(HandleOf(h), pBuffer, static_cast<DWORD>(nCount), &nRead, nullptr))
        ThrowLastError(strPath, SystemFile::kReadFrom);
    return nRead;
}

std::size_t SystemFile::Write(Handle h, const std::string& strPath, const void* pBuffer,
                              std::size_t nCount) {
    DWORD nWritten = 0;
    if (!WriteFile(HandleOf(h), pBuffer, static_cast<DWORD>(nCount), &nWritten, nullptr))
        ThrowLastError(strPath, SystemFile::kWriteTo);
    if (nWritten == 0)
        ThrowError(ERROR_DISK_FULL, strPath, SystemFile::kWriteTo);
    return nWritten;
}

void SystemFile::Seek(Handle h, const std::string& strPath, std::uint64_t nOffset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!SetFilePointerEx(HandleOf(h), distance, nullptr, FILE_BEGIN))
        ThrowLastError(strPath, SystemFile::kMoveWithin);
}

void SystemFile::Flush(Handle h, const std::string& strPath) {
    if (!FlushFileBuffers(HandleOf(h)))
        ThrowLastError(strPath, SystemFile::kSave);
}

void SystemFile::Close(Handle h, const std::string& strPath) {
    if (!::CloseHandle(HandleOf(h)))
        ThrowLastError(strPath, SystemFile::kClose);
}

void SystemFile::CloseQuietly(Handle h) noexcept {
    ::CloseHandle(HandleOf(h));
}

bool CFile::EntryExists(const std::string& strPath) {
    // Asks for the name's attributes without opening it, so a locked file or a folder counts.
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CFile::IsReadOnly(const std::string& strPath) {
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

void SystemFile::Move(const std::string& strFrom, const std::string& strTo, ExistingFile existing,
                      const std::string& strAction) {
    const DWORD nFlags = existing == ExistingFile::Replace
                             ? MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
                             : MOVEFILE_COPY_ALLOWED;
    if (!MoveFileExA(strFrom.c_str(), strTo.c_str(), nFlags))
        ThrowLastError(strFrom, strAction);
}

std::vector<FolderEntry> SystemFile::ListFolder(const std::string& strPattern) {
    std::vector<FolderEntry> aEntries;
    WIN32_FIND_DATAA data;
    const CFindHandle hFind = FindFirst(strPattern.empty() ? "*" : strPattern, data);
    if (!hFind)
        return aEntries;
    do {
        // The system matches short names too, so "*.c2c" finds "old.c2c_old" as "OLD~1.C2C";
        // FindFiles matches the long names again.
        aEntries.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(hFind.get(), &data));
    return aEntries;
}
