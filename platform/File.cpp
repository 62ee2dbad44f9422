// The file layer as the program sees it, the same on every system, over SystemFile.h.
#include "platform/File.h"

#include "platform/AsciiCase.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "platform/SystemFile.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

namespace {

FileFaultHook s_faultHook;
int s_nListingScopes = 0;

// The system takes no larger request at once; a read of more comes back short, which would look
// like the end of the file.
constexpr std::size_t kMaxRequest = 1 << 30;

// Forgets the kept folder listings once a change to a folder is over, however it ends.
struct ListingsForgetter {
    ~ListingsForgetter() { SystemFile::ForgetFolderListings(); }
};

// True when strName matches the last component of strPattern, without regard to case; "*.*" is
// every name, as on Windows.
bool Matches(const std::string& strPattern, const std::string& strName) {
    const std::size_t nSlash = strPattern.find_last_of("\\/");
    std::string_view mask = std::string_view(strPattern).substr(nSlash + 1);
    if (mask.empty() || mask == "*.*")
        mask = "*";
    // Iterative glob: on a mismatch, let the last '*' swallow one more character.
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t nStar = std::string_view::npos;
    std::size_t nResume = 0;
    while (n < strName.size()) {
        if (m < mask.size() && mask[m] == '*') {
            nStar = m++;
            nResume = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || FoldCase(mask[m]) == FoldCase(strName[n]))) {
            ++m;
            ++n;
        } else if (nStar != std::string_view::npos) {
            m = nStar + 1;
            n = ++nResume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

// "16 MB", "64 KB" or "100 bytes": a limit as people read it.
std::string LimitText(std::uint64_t nBytes) {
    if (nBytes >= 1024 * 1024 && nBytes % (1024 * 1024) == 0)
        return std::to_string(nBytes / (1024 * 1024)) + " MB";
    if (nBytes >= 1024 && nBytes % 1024 == 0)
        return std::to_string(nBytes / 1024) + " KB";
    return std::to_string(nBytes) + " bytes";
}

[[noreturn]] void ThrowTooLarge(const std::string& strPath, std::uint64_t nMaxBytes) {
    throw CFileException(CFileException::genericException, 0, strPath, "read",
                         "it is larger than " + LimitText(nMaxBytes) +
                             ", more than such a file ever holds");
}

// Names taken by leftovers of earlier runs with the same process number are passed over; this
// many in a row means something else is wrong.
constexpr int kTemporaryNameTries = 100;

// Creates the temporary file under the first free name and gives that name.
std::string CreateTemporary(CFile& file, const std::string& strPath) {
    for (int n = 0;; ++n) {
        const std::string strTemp = TemporaryName(strPath, n);
        try {
            file.Open(strTemp, CFile::modeCreateNew);
            return strTemp;
        } catch (const CFileException&) {
            // Only a name something already stands at is worth another try.
            if (n + 1 >= kTemporaryNameTries || !CFile::EntryExists(strTemp))
                throw;
        }
    }
}

} // namespace

void SetFileFaultHook(FileFaultHook hook) {
    s_faultHook = std::move(hook);
}

void CheckFileFault(FileOp op, const std::string& strPath, const char* pszAction) {
    if (s_faultHook && s_faultHook(op, strPath))
        throw CFileException(CFileException::hardIO, 0, strPath, pszAction, "simulated failure");
}

bool SystemFile::InListingScope() {
    return s_nListingScopes > 0;
}

CFolderListingScope::CFolderListingScope() {
    ++s_nListingScopes;
}

CFolderListingScope::~CFolderListingScope() {
    if (--s_nListingScopes == 0)
        SystemFile::ForgetFolderListings();
}

CFile::CFile(const std::string& strPath, Mode mode) {
    Open(strPath, mode);
}

CFile::~CFile() {
    CloseHandle();
}

void CFile::Open(const std::string& strPath, Mode mode) {
    CloseHandle();
    m_strPath = strPath;

    const bool bCreate = mode == modeCreateNew;
    const char* pszAction = bCreate ? "create" : "open {} for reading";
    CheckFileFault(bCreate ? FileOp::Create : FileOp::Open, strPath, pszAction);
    std::optional<ListingsForgetter> forget;
    if (bCreate)
        forget.emplace();

    const SystemFile::Opened opened = SystemFile::Open(strPath, mode, pszAction);
    // Systems open folders, pipes and devices ("CON", "COM1.c2c") for reading without complaint;
    // the program reads only files, and must see anything else as no file.
    if (opened.kind != SystemFile::Kind::File) {
        SystemFile::CloseQuietly(opened.nHandle);
        throw CFileException(CFileException::genericException, 0, strPath, pszAction,
                             opened.kind == SystemFile::Kind::Folder
                                 ? "It is a folder, not a file"
                                 : "It is a pipe or a device, not a file");
    }
    m_nHandle = opened.nHandle;
    m_nLength = opened.nLength;
}

std::size_t CFile::Read(void* pBuffer, std::size_t nCount) {
    CheckFileFault(FileOp::Read, m_strPath, SystemFile::kReadFrom);
    // A file gives all the bytes asked for, or ends: a short read is its end, and no second
    // request is made to learn it. Only a request larger than the system takes at once goes on.
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount) {
        const std::size_t nAsked = std::min(nCount - nDone, kMaxRequest);
        const std::size_t n = SystemFile::Read(m_nHandle, m_strPath, pOut + nDone, nAsked);
        nDone += n;
        if (n < nAsked)
            break;
    }
    return nDone;
}

void CFile::Seek(std::uint64_t nOffset) {
    SystemFile::Seek(m_nHandle, m_strPath, nOffset);
}

void CFile::Write(const void* pBuffer, std::size_t nCount) {
    CheckFileFault(FileOp::Write, m_strPath, SystemFile::kWriteTo);
    const auto* p = static_cast<const unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount)
        nDone += SystemFile::Write(m_nHandle, m_strPath, p + nDone,
                                   std::min(nCount - nDone, kMaxRequest));
}

void CFile::Flush() {
    CheckFileFault(FileOp::Flush, m_strPath, SystemFile::kSave);
    SystemFile::Flush(m_nHandle, m_strPath);
}

void CFile::Close() {
    if (!IsOpen())
        return;
    const SystemFile::Handle h = std::exchange(m_nHandle, kNoHandle);
    try {
        CheckFileFault(FileOp::Close, m_strPath, SystemFile::kClose);
    } catch (const CFileException&) {
        SystemFile::CloseQuietly(h);
        throw;
    }
    SystemFile::Close(h, m_strPath);
}

void CFile::CloseHandle() noexcept {
    if (IsOpen())
        SystemFile::CloseQuietly(m_nHandle);
    m_nHandle = kNoHandle;
}

void CFile::CreateFolder(const std::string& strPath) {
    CheckFileFault(FileOp::Create, strPath, "create the folder");
    const ListingsForgetter forget;
    SystemFile::CreateFolder(strPath, "create the folder");
}

void CFile::Remove(const std::string& strPath) {
    CheckFileFault(FileOp::Remove, strPath, "delete");
    const ListingsForgetter forget;
    SystemFile::Remove(strPath, "delete");
}

void CFile::Move(const std::string& strFrom, const std::string& strTo, ExistingFile existing) {
    const std::string strAction =
        (existing == ExistingFile::Replace ? "move {} over \"" : "rename {} to \"") + strTo + "\"";
    CheckFileFault(FileOp::Rename, strFrom, strAction.c_str());
    const ListingsForgetter forget;
    SystemFile::Move(strFrom, strTo, existing, strAction);
}

bool CFile::Exists(const std::string& strPath) {
    try {
        CFile(strPath, modeRead).Close();
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

std::vector<FolderEntry> FindFiles(const std::string& strPattern) {
    std::vector<FolderEntry> aEntries = SystemFile::ListFolder(strPattern);
    std::erase_if(aEntries, [&](const FolderEntry& entry) {
        return entry.strName == "." || entry.strName == ".." || !Matches(strPattern, entry.strName);
    });
    // Byte-wise among names that differ only in case.
    std::sort(aEntries.begin(), aEntries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string strA = AsciiLower(a.strName);
        const std::string strB = AsciiLower(b.strName);
        return strA != strB ? strA < strB : a.strName < b.strName;
    });
    return aEntries;
}

std::string ReadWholeFile(const std::string& strPath, std::uint64_t nMaxBytes) {
    CFile file(strPath, CFile::modeRead);
    std::string strBytes;
    const std::uint64_t nLength = file.GetLength();
    if (nLength > nMaxBytes || nLength >= strBytes.max_size())
        ThrowTooLarge(strPath, nMaxBytes);
    // A byte more than its length: a short read is the end, and no second request learns it.
    strBytes.resize(static_cast<std::size_t>(nLength) + 1);
    strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
    // That byte comes only from a file that grew since it was opened: it is read to its end,
    // within the limit.
    char chunk[4096];
    for (std::size_t n = strBytes.size() > nLength ? sizeof chunk : 0;
         n == sizeof chunk && strBytes.size() <= nMaxBytes;) {
        n = file.Read(chunk, sizeof chunk);
        strBytes.append(chunk, n);
    }
    if (strBytes.size() > nMaxBytes)
        ThrowTooLarge(strPath, nMaxBytes);
    file.Close();
    return strBytes;
}

std::string TemporaryName(const std::string& strPath, int n) {
    return strPath + ".new-" + std::to_string(CurrentProcessId()) + "-" + std::to_string(n);
}

void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing) {
    WriteWholeFile(
        strPath, [strBytes](CFile& file) { file.Write(strBytes.data(), strBytes.size()); },
        existing);
}

void WriteWholeFile(const std::string& strPath, const std::function<void(CFile&)>& writeBytes,
                    ExistingFile existing) {
    CFile file;
    const std::string strTemp = CreateTemporary(file, strPath);
    try {
        writeBytes(file);
        file.Flush();
        file.Close();
        CFile::Move(strTemp, strPath, existing);
    } catch (const CFileException&) {
        // Best effort: the first error is the one to report. Closed first, as Windows deletes no
        // open file; a Close that fails has let the handle go all the same.
        try {
            file.Close();
        } catch (const CFileException&) {
        }
        try {
            CFile::Remove(strTemp);
        } catch (const CFileException&) {
        }
        throw;
    }
}

bool IsDeviceName(std::string_view strComponent) {
    std::string_view strStem = strComponent.substr(0, strComponent.find('.'));
    while (!strStem.empty() && strStem.back() == ' ')
        strStem.remove_suffix(1);
    const std::string strLower = AsciiLower(std::string(strStem));
    static constexpr std::string_view kDevices[] = {"con", "prn",    "aux",
                                                    "nul", "conin$", "conout$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), strLower) != std::end(kDevices))
        return true;
    return strLower.size() == 4 && (strLower.starts_with("com") || strLower.starts_with("lpt")) &&
           strLower[3] >= '1' && strLower[3] <= '9';
}
