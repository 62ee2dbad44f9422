// The file layer on Windows. Paths go to the system as they are: it ignores case itself.
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>

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

HANDLE HandleOf(std::intptr_t nHandle) {
    return reinterpret_cast<HANDLE>(nHandle);
}

// The system's calls take 32-bit counts.
DWORD Chunk(std::size_t nCount) {
    return static_cast<DWORD>(std::min<std::size_t>(nCount, std::numeric_limits<DWORD>::max()));
}

} // namespace

namespace {

// Inside a CFolderListingScope, the names in each folder looked in, upper-cased; none when the
// folder does not exist. Under Wine every open of a missing file compares the whole folder's
// names, so probing for thousands of missing pictures grew with the square of their number.
int s_nScopes = 0;
std::map<std::string, std::optional<std::set<std::string>>> s_mapListings;

std::string Upper(std::string str) {
    for (char& c : str)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return str;
}

const std::optional<std::set<std::string>>* ListingOf(const std::string& strFolder) {
    const std::string strKey = Upper(strFolder);
    if (const auto it = s_mapListings.find(strKey); it != s_mapListings.end())
        return &it->second;
    std::optional<std::set<std::string>> names;
    WIN32_FIND_DATAA data;
    if (const CFindHandle hFind(
            FindFirstFileA((strFolder.empty() ? "*" : strFolder + "\\*").c_str(), &data));
        hFind) {
        names.emplace();
        do {
            names->insert(Upper(data.cFileName));
            if (data.cAlternateFileName[0] != '\0')
                names->insert(Upper(data.cAlternateFileName));
        } while (FindNextFileA(hFind.Get(), &data));
    } else if (GetLastError() != ERROR_PATH_NOT_FOUND) {
        return nullptr; // not known either way
    }
    return &s_mapListings.emplace(strKey, std::move(names)).first->second;
}

// The error opening strPath for reading would give when a kept listing shows it absent, or 0
// when only the system can tell. Names whose case folding is not plain ASCII, and names the
// system would alter (trailing dots or spaces, wild cards), always go to the system.
DWORD KnownAbsence(const std::string& strPath) {
    if (s_nScopes == 0 || strPath.find_first_of("*?") != std::string::npos)
        return 0;
    if (std::any_of(strPath.begin(), strPath.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return 0;
    const std::size_t nSlash = strPath.find_last_of("\\/");
    const std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    if (strName.empty() || strName.back() == '.' || strName.back() == ' ')
        return 0;
    const auto* pListing = ListingOf(nSlash == std::string::npos ? "" : strPath.substr(0, nSlash));
    if (pListing == nullptr)
        return 0;
    if (!*pListing)
        return ERROR_PATH_NOT_FOUND;
    return (*pListing)->contains(Upper(strName)) ? 0 : ERROR_FILE_NOT_FOUND;
}

// Forgets the kept listings once a change to a folder is over, however it ends.
struct ListingsForgetter {
    ListingsForgetter() = default;
    ~ListingsForgetter() { s_mapListings.clear(); }
    ListingsForgetter(const ListingsForgetter&) = delete;
    ListingsForgetter& operator=(const ListingsForgetter&) = delete;
};

} // namespace

CFolderListingScope::CFolderListingScope() {
    ++s_nScopes;
}

CFolderListingScope::~CFolderListingScope() {
    if (--s_nScopes == 0)
        s_mapListings.clear();
}

void CFile::Open(const std::string& strPath, unsigned nFlags) {
    CloseHandle();
    m_strPath = strPath;
    m_nPosition = 0;
    m_nSystemPosition = 0;
    m_nBuffered = 0;
    m_nBufferStart = 0;

    const bool bWrite = (nFlags & modeWrite) != 0;
    const bool bCreate = (nFlags & modeCreate) != 0;
    const char* pszAction = !bWrite   ? "open {} for reading"
                            : bCreate ? "create"
                                      : "open {} for writing";
    CheckFileFault(bWrite ? FileOp::Create : FileOp::Open, strPath, pszAction);
    if (!bWrite)
        if (const DWORD nAbsent = KnownAbsence(strPath); nAbsent != 0)
            ThrowError(nAbsent, strPath, pszAction);
    std::optional<ListingsForgetter> forget;
    if (bCreate)
        forget.emplace();

    const DWORD nDisposition = !(bWrite && bCreate)            ? OPEN_EXISTING
                               : (nFlags & modeCreateNew) != 0 ? CREATE_NEW
                                                               : CREATE_ALWAYS;
    const HANDLE h = CreateFileA(strPath.c_str(), bWrite ? GENERIC_WRITE : GENERIC_READ,
                                 FILE_SHARE_READ | (bWrite ? 0 : FILE_SHARE_WRITE), nullptr,
                                 nDisposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastError(strPath, pszAction);
    // Some systems hand out folder handles for reading, and a device name ("CON", "COM1.c2c")
    // opens a device; the program reads only files, and must see anything else as no file.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(h, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::CloseHandle(h);
        throw CFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, strPath, pszAction,
                             "It is a folder, not a file");
    }
    if (!bWrite && GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        throw CFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, strPath, pszAction,
                             "It is a pipe or a device, not a file");
    }
    m_nHandle = reinterpret_cast<std::intptr_t>(h);
}

std::size_t CFile::SystemRead(void* pBuffer, std::size_t nCount) {
    DWORD nRead = 0;
    if (!ReadFile(HandleOf(m_nHandle), pBuffer, Chunk(nCount), &nRead, nullptr)) {
        const DWORD nError = GetLastError();
        if (nError != ERROR_HANDLE_EOF && nError != ERROR_BROKEN_PIPE)
            ThrowError(nError, m_strPath, "read from");
        nRead = 0;
    }
    m_nSystemPosition += nRead;
    return nRead;
}

void CFile::SystemSeek(std::uint64_t nOffset) {
    if (nOffset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()))
        ThrowError(ERROR_NEGATIVE_SEEK, m_strPath, "move within");
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!SetFilePointerEx(HandleOf(m_nHandle), distance, nullptr, FILE_BEGIN))
        ThrowLastError(m_strPath, "move within");
}

void CFile::Write(const void* pBuffer, std::size_t nCount) {
    RequireOpen("write to");
    CheckFileFault(FileOp::Write, m_strPath, "write to");
    const auto* p = static_cast<const unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount) {
        DWORD nWritten = 0;
        if (!WriteFile(HandleOf(m_nHandle), p + nDone, Chunk(nCount - nDone), &nWritten, nullptr))
            ThrowLastError(m_strPath, "write to");
        if (nWritten == 0)
            ThrowError(ERROR_DISK_FULL, m_strPath, "write to");
        nDone += nWritten;
    }
    m_nPosition += nDone;
    m_nSystemPosition += nDone;
}

std::uint64_t CFile::GetLength() const {
    RequireOpen("get the size of");
    LARGE_INTEGER size;
    if (!GetFileSizeEx(HandleOf(m_nHandle), &size))
        ThrowLastError(m_strPath, "get the size of");
    return static_cast<std::uint64_t>(size.QuadPart);
}

void CFile::Flush() {
    RequireOpen("save");
    CheckFileFault(FileOp::Flush, m_strPath, "save");
    // A file opened for reading has nothing to push, and the system refuses to flush it.
    if (!FlushFileBuffers(HandleOf(m_nHandle)) && GetLastError() != ERROR_ACCESS_DENIED)
        ThrowLastError(m_strPath, "save");
}

void CFile::Close() {
    if (!IsOpen())
        return;
    const HANDLE h = HandleOf(m_nHandle);
    m_nHandle = kNoHandle;
    try {
        CheckFileFault(FileOp::Close, m_strPath, "close");
    } catch (const CFileException&) {
        ::CloseHandle(h);
        throw;
    }
    if (!::CloseHandle(h))
        ThrowLastError(m_strPath, "close");
}

void CFile::CloseHandle() noexcept {
    if (IsOpen())
        ::CloseHandle(HandleOf(m_nHandle));
    m_nHandle = kNoHandle;
}

bool CFile::EntryExists(const std::string& strPath) {
    // Asks for the name's attributes without opening it, so a locked file or a folder counts.
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CFile::IsReadOnly(const std::string& strPath) {
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void CFile::CreateFolder(const std::string& strPath) {
    CheckFileFault(FileOp::Create, strPath, "create the folder");
    const ListingsForgetter forget;
    if (CreateDirectoryA(strPath.c_str(), nullptr))
        return;
    const DWORD nError = GetLastError();
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    if (nError == ERROR_ALREADY_EXISTS && nAttributes != INVALID_FILE_ATTRIBUTES &&
        (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    ThrowError(nError, strPath, "create the folder");
}

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

void CFile::Remove(const std::string& strPath) {
    CheckFileFault(FileOp::Remove, strPath, "delete");
    const ListingsForgetter forget;
    if (!DeleteFileA(strPath.c_str()))
        ThrowLastError(strPath, "delete");
}

void CFile::Rename(const std::string& strOld, const std::string& strNew) {
    const std::string strAction = "rename {} to \"" + strNew + "\"";
    CheckFileFault(FileOp::Rename, strOld, strAction.c_str());
    const ListingsForgetter forget;
    if (!MoveFileA(strOld.c_str(), strNew.c_str()))
        ThrowLastError(strOld, strAction);
}

void CFile::Replace(const std::string& strSource, const std::string& strTarget) {
    const std::string strAction = "move {} over \"" + strTarget + "\"";
    CheckFileFault(FileOp::Rename, strSource, strAction.c_str());
    const ListingsForgetter forget;
    if (!MoveFileExA(strSource.c_str(), strTarget.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError(strSource, strAction);
}

bool CFileFind::FindFile(const std::string& strPattern) {
    m_aEntries.clear();
    m_nCurrent = 0;
    WIN32_FIND_DATAA data;
    {
        const CFindHandle hFind(
            FindFirstFileA(strPattern.empty() ? "*" : strPattern.c_str(), &data));
        if (!hFind)
            return false;
        do {
            // The system matches short names too, so "*.c2c" finds "old.c2c_old" as "OLD~1.C2C".
            const std::string strName = data.cFileName;
            if (strName != "." && strName != ".." && Matches(strPattern, strName))
                m_aEntries.push_back(
                    {strName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileA(hFind.Get(), &data));
    }
    SortEntries();
    return !m_aEntries.empty();
}
