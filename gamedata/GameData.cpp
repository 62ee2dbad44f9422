#include "gamedata/GameData.h"

#include "gamedata/ArchiveReader.h"
#include "platform/DeviceNames.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/WriteWholeFile.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kArchive = "data.twt";
constexpr const char* kRetiredArchive = "data.twat";
constexpr const char* kDataFolder = "data\\";
constexpr const char* kOpponentList = "data\\opponent.txt";
constexpr const char* kBackupProbe = "data\\opponent.old";
constexpr const char* kBackup = "data\\OPPONENT.OLD";
// Entries are copied through a buffer of this size, so memory stays small whatever the archive.
constexpr std::size_t kCopyChunk = 64 * 1024;

// Windows drops trailing dots and spaces, so "..." or ".. " could act as "..".
bool IsParentComponent(std::string_view strComponent) {
    return std::count(strComponent.begin(), strComponent.end(), '.') >= 2 &&
           strComponent.find_first_not_of(". ") == std::string_view::npos;
}

// Checked before anything is written: a damaged archive must not leave half its files behind.
bool IsWhole(const ArchiveDirectory& directory, std::uint64_t nLength) {
    return !directory.m_bDamaged &&
           std::all_of(directory.m_aEntries.begin(), directory.m_aEntries.end(),
                       [nLength](const ArchiveEntry& entry) {
                           return IsSafeEntryName(entry.m_strName) && entry.m_nOffset <= nLength &&
                                  entry.m_nSize <= nLength - entry.m_nOffset;
                       });
}

void CopyEntry(CFile& archive, const ArchiveEntry& entry) {
    archive.Seek(entry.m_nOffset);
    CFile target(kDataFolder + entry.m_strName, CFile::kBinaryWrite);
    std::vector<char> aBuffer(std::min<std::size_t>(entry.m_nSize, kCopyChunk));
    for (std::size_t nLeft = entry.m_nSize; nLeft > 0;) {
        const std::size_t nChunk = std::min(nLeft, aBuffer.size());
        if (archive.Read(aBuffer.data(), nChunk) != nChunk)
            throw CFileException(CFileException::endOfFile, 0, kArchive, "read",
                                 "the archive is shorter than its directory says");
        target.Write(aBuffer.data(), nChunk);
        nLeft -= nChunk;
    }
    target.Close();
}

void RetireArchive() {
    try {
        CFile probe(kRetiredArchive, CFile::kPlainRead);
        probe.Close();
        CFile::Remove(kArchive);
        return;
    } catch (const CFileException&) {
        // No retired copy yet, or the archive could not be deleted: move it aside instead.
    }
    CFile::Rename(kArchive, kRetiredArchive);
}

} // namespace

bool IsSafeEntryName(const std::string& strName) {
    if (strName.empty() || strName.front() == '\\' || strName.front() == '/' ||
        strName.find(':') != std::string::npos)
        return false;
    std::size_t nStart = 0;
    while (true) {
        const std::size_t nEnd = strName.find_first_of("\\/", nStart);
        const std::string_view strComponent =
            std::string_view(strName).substr(nStart, nEnd - nStart);
        if (IsParentComponent(strComponent) || IsDeviceName(strComponent))
            return false;
        if (nEnd == std::string::npos)
            return true;
        nStart = nEnd + 1;
    }
}

void UnpackArchive() {
    try {
        {
            CFile archive(kArchive, CFile::kBinaryRead);
            const ArchiveDirectory directory = ReadArchiveDirectory(archive);
            // A damaged archive stays in place, untouched, as if it were still to be unpacked.
            if (!IsWhole(directory, archive.GetLength()))
                return;
            for (const ArchiveEntry& entry : directory.m_aEntries)
                CopyEntry(archive, entry);
        }
        RetireArchive();
    } catch (const CFileException&) {
        // A missing archive means nothing to do; a failed entry leaves the archive for the next
        // run.
    }
}

void BackupOpponentList() {
    if (CFile::Exists(kBackupProbe))
        return;

    std::string strText;
    {
        CFile list(kOpponentList, CFile::kBinaryRead);
        strText.resize(static_cast<std::size_t>(list.GetLength()));
        strText.resize(list.Read(strText.data(), strText.size()));
        list.Close();
    }

    // Made under another name, or a half-written backup would count as taken at the next start;
    // renamed into place, which refuses an existing backup: a probe that failed on one that is
    // there must not lead to replacing it with the list as it is now.
    WriteWholeFile(kBackup, strText, ExistingFile::Refuse);
}
