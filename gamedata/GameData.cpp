#include "gamedata/GameData.h"

#include "gamedata/ArchiveReader.h"
#include "gamedata/KeptLists.h"
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kArchive = "data.twt";
constexpr const char* kRetiredArchive = "data.twat";
constexpr const char* kDataFolder = "data\\";
constexpr const char* kOpponentList = "data\\opponent.txt";
constexpr const char* kBackup = kOpponentListBackup;
// Entries are copied through a buffer of this size, so memory stays small whatever the archive.
constexpr std::size_t kCopyChunk = 64 * 1024;

// Windows drops trailing dots and spaces, so "..." or ".. " could act as "..".
bool IsParentComponent(std::string_view strComponent) {
    return std::count(strComponent.begin(), strComponent.end(), '.') >= 2 &&
           strComponent.find_first_not_of(". ") == std::string_view::npos;
}

// Why the archive cannot be unpacked as it is, or empty. Checked before anything is written: a
// damaged archive must not leave half its files behind.
std::string DamageOf(const ArchiveDirectory& directory, std::uint64_t nLength) {
    if (directory.m_bDamaged)
        return "its list of files is cut short or garbled";
    for (const ArchiveEntry& entry : directory.m_aEntries) {
        if (!IsSafeEntryName(entry.m_strName))
            return "it holds a file named \"" + entry.m_strName +
                   "\", which would land outside the data folder";
        if (entry.m_nOffset > nLength || entry.m_nSize > nLength - entry.m_nOffset)
            return "its file \"" + entry.m_strName + "\" runs past the end of the archive";
    }
    return {};
}

// Writes the entry's data as the file strTarget, through a small buffer.
void CopyEntry(CFile& archive, const ArchiveEntry& entry, const std::string& strTarget) {
    archive.Seek(entry.m_nOffset);
    WriteWholeFile(
        strTarget,
        [&](CFile& target) {
            std::vector<char> aBuffer(std::min<std::size_t>(entry.m_nSize, kCopyChunk));
            for (std::size_t nLeft = entry.m_nSize; nLeft > 0;) {
                const std::size_t nChunk = std::min(nLeft, aBuffer.size());
                if (archive.Read(aBuffer.data(), nChunk) != nChunk)
                    throw CFileException(CFileException::genericException, 0, kArchive, "read",
                                         "the archive is shorter than its directory says");
                target.Write(aBuffer.data(), nChunk);
                nLeft -= nChunk;
            }
        },
        // Refused, never replaced: a file that appeared meanwhile, or one the probe could not
        // see, is the player's.
        ExistingFile::Refuse);
}

// "Could not ..." as the middle of a sentence.
std::string Reason(const std::string& strWhat) {
    std::string str = strWhat;
    if (!str.empty())
        str.front() = FoldCase(str.front());
    return str;
}

std::string CannotUnpack(const std::string& strWhy) {
    const bool bFullStop = !strWhy.empty() && strWhy.back() == '.';
    return std::string("The game's data archive ") + kArchive +
           " could not be unpacked: " + Reason(strWhy) + (bFullStop ? "" : ".") +
           " Nothing was changed; the game goes on with the files in the data folder.";
}

void RetireArchive() {
    try {
        if (CFile::Exists(kRetiredArchive)) {
            CFile::Remove(kArchive);
            return;
        }
    } catch (const CFileException&) {
        // The archive could not be deleted: moved aside instead.
    }
    CFile::Move(kArchive, kRetiredArchive, ExistingFile::Refuse);
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

std::string UnpackArchive(const std::function<void(int nDone, int nTotal)>& onEntry) {
    std::vector<std::string> astrWritten;
    try {
        CFile archive;
        try {
            archive.Open(kArchive, CFile::modeRead);
        } catch (const CFileException& e) {
            if (e.m_cause == CFileException::fileNotFound)
                return {}; // nothing to unpack
            throw;
        }
        const ArchiveDirectory directory = ReadArchiveDirectory(archive);
        if (const std::string strDamage = DamageOf(directory, archive.GetLength());
            !strDamage.empty())
            return CannotUnpack(strDamage);
        const int nEntries = static_cast<int>(directory.m_aEntries.size());
        for (int i = 0; i < nEntries; ++i) {
            if (onEntry)
                onEntry(i, nEntries);
            const ArchiveEntry& entry = directory.m_aEntries[static_cast<std::size_t>(i)];
            const std::string strTarget = kDataFolder + entry.m_strName;
            // The game reads loose files first, so one that exists is newer than the archive's
            // copy: the player's saved list, an add-on's file, an earlier unpacking.
            if (CFile::EntryExists(strTarget))
                continue;
            CopyEntry(archive, entry, strTarget);
            astrWritten.push_back(strTarget);
        }
        if (onEntry)
            onEntry(nEntries, nEntries);
        archive.Close();
    } catch (const CFileException& e) {
        // Undone whole, so that the next start finds the folder as this one did.
        for (const std::string& strPath : astrWritten) {
            try {
                CFile::Remove(strPath);
            } catch (const CFileException&) {
                // A whole file stays; the next start passes over it.
            }
        }
        return CannotUnpack(e.what());
    }
    try {
        RetireArchive();
    } catch (const CFileException& e) {
        return std::string("The game's data archive ") + kArchive +
               " was unpacked, but could not be moved out of the way: " + Reason(e.what()) +
               " Its files are in the data folder; nothing was replaced. Gridwright tries again "
               "at the next start.";
    }
    return {};
}

void BackupOpponentList() {
    if (CFile::Exists(kBackup))
        return;

    const std::string strText = ReadWholeFile(kOpponentList);

    // Made under another name, or a half-written backup would count as taken at the next start;
    // renamed into place, which refuses an existing backup: a probe that failed on one that is
    // there must not lead to replacing it with the list as it is now.
    WriteWholeFile(kBackup, strText, ExistingFile::Refuse);
}

bool HasOpponentListBackup() {
    // Only the copies the restore dialog offers count.
    return CFile::Exists(kBackup) || !ListKeptLists().empty();
}
