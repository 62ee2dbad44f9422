#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// The game's archive container: a count byte at offset 4, 56-byte directory slots from offset 8,
// entry data back to back after the directory, each padded to a multiple of 4.
struct ArchiveEntry {
    std::string m_strName;
    std::uint32_t m_nSize = 0;
    std::uint64_t m_nOffset = 0; // start of the data, from the start of the file
};

struct ArchiveDirectory {
    std::vector<ArchiveEntry> m_aEntries; // the entries read, in directory order
    // The count byte is missing, or a name runs to the end of the file or past 260 characters.
    bool m_bDamaged = false;
};

// Reads the directory of an open archive, in one read. On damage, the entries before it are kept.
ArchiveDirectory ReadArchiveDirectory(CFile& file);
// The same, from the archive's first bytes in memory (as many as it has, or kMaxArchiveHeadBytes).
ArchiveDirectory ParseArchiveDirectory(std::string_view head);

// The bytes from the start of an archive as far as any directory can reach, its last name
// included.
inline constexpr std::size_t kMaxArchiveHeadBytes = 8 + 56 * 255 + 260 + 1;
