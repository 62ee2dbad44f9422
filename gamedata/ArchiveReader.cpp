#include "gamedata/ArchiveReader.h"

#include "platform/File.h"

#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t kCountOffset = 4;
constexpr std::size_t kDirectoryOffset = 8;
constexpr std::size_t kSlotSize = 56;
// No longer name can be a path on the game's system. Reading on to a far NUL instead would cost
// 255 times the archive's length in time and memory.
constexpr std::size_t kMaxNameLength = 260;
static_assert(kMaxArchiveHeadBytes == kDirectoryOffset + kSlotSize * 255 + kMaxNameLength + 1);

} // namespace

ArchiveDirectory ReadArchiveDirectory(CFile& file) {
    std::string strHead(kMaxArchiveHeadBytes, '\0');
    file.Seek(0);
    strHead.resize(file.Read(strHead.data(), strHead.size()));
    return ParseArchiveDirectory(strHead);
}

ArchiveDirectory ParseArchiveDirectory(std::string_view head) {
    ArchiveDirectory directory;
    if (head.size() <= kCountOffset) {
        directory.m_bDamaged = true;
        return directory;
    }
    const unsigned nCount = static_cast<unsigned char>(head[kCountOffset]);
    std::uint64_t nData = kDirectoryOffset + kSlotSize * nCount;
    for (unsigned i = 0; i < nCount; ++i) {
        const std::size_t nSlot = kDirectoryOffset + kSlotSize * i;
        if (head.size() < nSlot + 4) {
            directory.m_bDamaged = true;
            return directory;
        }
        // A name with no NUL inside its slot runs on into what follows.
        const std::string_view name = head.substr(nSlot + 4, kMaxNameLength + 1);
        const std::size_t nNul = name.find('\0');
        if (nNul == std::string_view::npos) {
            directory.m_bDamaged = true;
            return directory;
        }
        unsigned char aSize[4];
        std::memcpy(aSize, head.data() + nSlot, sizeof aSize);
        ArchiveEntry entry;
        entry.m_strName = std::string(name.substr(0, nNul));
        entry.m_nSize = static_cast<std::uint32_t>(aSize[0] | aSize[1] << 8 | aSize[2] << 16 |
                                                   static_cast<std::uint32_t>(aSize[3]) << 24);
        entry.m_nOffset = nData;
        nData = (nData + entry.m_nSize + 3) / 4 * 4;
        directory.m_aEntries.push_back(std::move(entry));
    }
    return directory;
}
