#include "gamedata/ArchiveReader.h"

#include "platform/File.h"
#include "platform/ReadNulEndedName.h"

namespace {

constexpr std::uint64_t kCountOffset = 4;
constexpr std::uint64_t kDirectoryOffset = 8;
constexpr std::uint64_t kSlotSize = 56;

// No longer name can be a path on the game's system. Reading on to a far NUL instead would cost
// 255 times the archive's length in time and memory.
constexpr std::size_t kMaxNameLength = 260;

} // namespace

ArchiveDirectory ReadArchiveDirectory(CFile& file) {
    ArchiveDirectory directory;
    unsigned char nCount = 0;
    file.Seek(kCountOffset);
    if (file.Read(&nCount, 1) != 1) {
        directory.m_bDamaged = true;
        return directory;
    }

    std::uint64_t nData = kDirectoryOffset + kSlotSize * nCount;
    for (unsigned i = 0; i < nCount; ++i) {
        file.Seek(kDirectoryOffset + kSlotSize * i);
        unsigned char aSize[4] = {};
        if (file.Read(aSize, sizeof aSize) != sizeof aSize) {
            directory.m_bDamaged = true;
            return directory;
        }
        // A name with no NUL inside its slot runs on into what follows.
        std::optional<std::string> strName = ReadNulEndedName(file, kMaxNameLength);
        if (!strName) {
            directory.m_bDamaged = true;
            return directory;
        }
        ArchiveEntry entry;
        entry.m_strName = std::move(*strName);
        entry.m_nSize = static_cast<std::uint32_t>(aSize[0] | aSize[1] << 8 | aSize[2] << 16 |
                                                   static_cast<std::uint32_t>(aSize[3]) << 24);
        entry.m_nOffset = nData;
        nData = (nData + entry.m_nSize + 3) / 4 * 4;
        directory.m_aEntries.push_back(std::move(entry));
    }
    return directory;
}
