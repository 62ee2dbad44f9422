// The file layer as the program sees it, the same on every system, over the primitives of
// SystemFile.h: each operation's fault check and action text, the read-ahead, the write loop,
// refusing what is not a file, forgetting folder listings after a change, the search's order.
#include "platform/File.h"

#include "platform/AsciiCase.h"
#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "platform/SystemFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace {

int s_nListingScopes = 0;

// Forgets the kept folder listings once a change to a folder is over, however it ends.
struct ListingsForgetter {
    ListingsForgetter() = default;
    ~ListingsForgetter() { SystemFile::ForgetFolderListings(); }
    ListingsForgetter(const ListingsForgetter&) = delete;
    ListingsForgetter& operator=(const ListingsForgetter&) = delete;
};

} // namespace

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

namespace {

// The read-ahead buffer of the last file let go, for the next file that reads: a load reads
// thousands of small files one after another, and under Wine each buffer of this size made and
// freed mapped and unmapped memory.
thread_local std::unique_ptr<unsigned char[]> t_pSpareBuffer;

} // namespace

CFile::CFile(const std::string& strPath, unsigned nFlags) {
    Open(strPath, nFlags);
}

CFile::~CFile() {
    CloseHandle();
    if (m_pBuffer && !t_pSpareBuffer)
        t_pSpareBuffer = std::move(m_pBuffer);
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
    std::optional<ListingsForgetter> forget;
    if (bCreate)
        forget.emplace();

    const SystemFile::Opened opened = SystemFile::Open(strPath, nFlags, pszAction);
    // Systems open folders, pipes and devices ("CON", "COM1.c2c") for reading without complaint;
    // the program reads only files, and must see anything else as no file.
    if (opened.kind == SystemFile::Kind::Folder ||
        (!bWrite && opened.kind != SystemFile::Kind::File)) {
        SystemFile::CloseQuietly(opened.nHandle);
        throw CFileException(CFileException::accessDenied, SystemFile::NotAFileError(opened.kind),
                             strPath, pszAction,
                             opened.kind == SystemFile::Kind::Folder
                                 ? "It is a folder, not a file"
                                 : "It is a pipe or a device, not a file");
    }
    m_nHandle = opened.nHandle;
}

void CFile::RequireOpen(const char* pszAction) const {
    if (!IsOpen())
        throw CFileException(CFileException::invalidFile, 0, m_strPath, pszAction,
                             "the file is not open");
}

std::size_t CFile::Read(void* pBuffer, std::size_t nCount) {
    RequireOpen(SystemFile::kReadFrom);
    CheckFileFault(FileOp::Read, m_strPath, SystemFile::kReadFrom);
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount) {
        if (m_nBufferStart < m_nBuffered) {
            const std::size_t n = std::min(m_nBuffered - m_nBufferStart, nCount - nDone);
            std::memcpy(pOut + nDone, m_pBuffer.get() + m_nBufferStart, n);
            m_nBufferStart += n;
            nDone += n;
            continue;
        }
        const std::uint64_t nAt = m_nPosition + nDone;
        const std::size_t nLeft = nCount - nDone;
        if (nLeft >= kReadAhead) {
            // Large reads would only be copied twice.
            MoveSystemTo(nAt);
            m_nBuffered = 0;
            m_nBufferStart = 0;
            const std::size_t n = SystemRead(pOut + nDone, nLeft);
            if (n == 0)
                break;
            nDone += n;
            continue;
        }
        // A short step forward is read through rather than sought: a seek is a request of its
        // own to the system, and the bytes skipped would mostly come in the same read anyway.
        std::size_t nSkip = 0;
        if (nAt > m_nSystemPosition && nAt - m_nSystemPosition <= kReadThrough)
            nSkip = static_cast<std::size_t>(nAt - m_nSystemPosition);
        else
            MoveSystemTo(nAt);
        if (!m_pBuffer) // not zeroed: only what the system reads into it is ever used
            m_pBuffer = t_pSpareBuffer
                            ? std::move(t_pSpareBuffer)
                            : std::make_unique_for_overwrite<unsigned char[]>(kReadAhead);
        m_nBuffered = 0; // the system may fail half way
        m_nBufferStart = 0;
        const std::size_t nRead = SystemRead(m_pBuffer.get(), kReadAhead);
        if (nRead <= nSkip) {
            // The file ends before nAt: keep the bytes before it out of later reads.
            m_nBuffered = 0;
            break;
        }
        m_nBuffered = nRead;
        m_nBufferStart = nSkip;
    }
    m_nPosition += nDone;
    return nDone;
}

void CFile::Seek(std::uint64_t nOffset) {
    RequireOpen(SystemFile::kMoveWithin);
    // The buffer holds the bytes just before the system's position; a seek among them (the usual
    // step back to the start of a line) keeps it.
    const std::uint64_t nBufferFrom = m_nSystemPosition - m_nBuffered;
    if (nOffset >= nBufferFrom && nOffset <= m_nSystemPosition) {
        m_nBufferStart = static_cast<std::size_t>(nOffset - nBufferFrom);
        m_nPosition = nOffset;
        return;
    }
    // The system's position follows at the next read or write, if one comes.
    m_nBuffered = 0;
    m_nBufferStart = 0;
    m_nPosition = nOffset;
}

void CFile::MoveSystemTo(std::uint64_t nOffset) {
    if (nOffset == m_nSystemPosition)
        return;
    SystemSeek(nOffset);
    m_nSystemPosition = nOffset;
}

std::size_t CFile::SystemRead(void* pBuffer, std::size_t nCount) {
    const std::size_t n = SystemFile::Read(m_nHandle, m_strPath, pBuffer, nCount);
    m_nSystemPosition += n;
    return n;
}

void CFile::SystemSeek(std::uint64_t nOffset) {
    SystemFile::Seek(m_nHandle, m_strPath, nOffset);
}

void CFile::Write(const void* pBuffer, std::size_t nCount) {
    RequireOpen(SystemFile::kWriteTo);
    CheckFileFault(FileOp::Write, m_strPath, SystemFile::kWriteTo);
    MoveSystemTo(m_nPosition); // a seek waits for the next read or write
    const auto* p = static_cast<const unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount)
        nDone += SystemFile::Write(m_nHandle, m_strPath, p + nDone, nCount - nDone);
    m_nPosition += nDone;
    m_nSystemPosition += nDone;
}

std::uint64_t CFile::GetLength() const {
    RequireOpen(SystemFile::kGetSizeOf);
    return SystemFile::Length(m_nHandle, m_strPath);
}

void CFile::Flush() {
    RequireOpen(SystemFile::kSave);
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

bool CFile::EntryExists(const std::string& strPath) {
    return SystemFile::EntryExists(strPath);
}

bool CFile::IsReadOnly(const std::string& strPath) {
    return SystemFile::IsReadOnly(strPath);
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

void CFile::Rename(const std::string& strOld, const std::string& strNew) {
    const std::string strAction = "rename {} to \"" + strNew + "\"";
    CheckFileFault(FileOp::Rename, strOld, strAction.c_str());
    const ListingsForgetter forget;
    SystemFile::Rename(strOld, strNew, strAction);
}

void CFile::Replace(const std::string& strSource, const std::string& strTarget) {
    const std::string strAction = "move {} over \"" + strTarget + "\"";
    CheckFileFault(FileOp::Rename, strSource, strAction.c_str());
    const ListingsForgetter forget;
    SystemFile::Replace(strSource, strTarget, strAction);
}

bool CFile::Exists(const std::string& strPath) {
    try {
        CFile file(strPath, kBinaryRead);
        file.Close();
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

bool CFileFind::Matches(const std::string& strPattern, const std::string& strName) {
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

bool CFileFind::FindFile(const std::string& strPattern) {
    m_aEntries.clear();
    for (SystemFile::FolderEntry& entry :
         SystemFile::ListFolder(strPattern, [&](const std::string& strName) {
             return strName != "." && strName != ".." && Matches(strPattern, strName);
         }))
        m_aEntries.push_back({std::move(entry.strName), entry.bDirectory});
    SortEntries();
    return !m_aEntries.empty();
}

void CFileFind::SortEntries() {
    std::sort(m_aEntries.begin(), m_aEntries.end(), [&](const Entry& a, const Entry& b) {
        const std::string strA = AsciiLower(a.strName);
        const std::string strB = AsciiLower(b.strName);
        return strA != strB ? strA < strB : a.strName < b.strName;
    });
    m_nCurrent = 0;
}

bool CFileFind::FindNextFile() {
    if (m_nCurrent < m_aEntries.size())
        ++m_nCurrent;
    return m_nCurrent < m_aEntries.size();
}

const std::string& CFileFind::GetFileName() const {
    static const std::string strNone;
    return m_nCurrent < m_aEntries.size() ? m_aEntries[m_nCurrent].strName : strNone;
}

bool CFileFind::IsDirectory() const {
    return m_nCurrent < m_aEntries.size() && m_aEntries[m_nCurrent].bDirectory;
}
