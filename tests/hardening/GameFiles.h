#pragma once

// Builds the game's files byte by byte, for the fault tests, the bad-input tests and the fuzzing
// seeds: car records and opponent lists as the writer lays them out, archives in the game's
// container layout, picture archives and loose tile files.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gamefiles {

// One car record of eleven values, each line with a comment as the game's own files have them.
// Its lines are trimmed already, so it is also the text the reader keeps.
inline std::string RecordText(const std::string& strCarName,
                              const std::string& strFileBase = "EAGLE",
                              const std::string& strDescription = "Fast and light") {
    return "Ada Driver // Driver name\r\n"
           "ADA // Short name\r\n" +
           strCarName + " // Car name\r\n" +
           "3 // Strength\r\n"
           "120000 // Cost\r\n"
           "1 // Network availability\r\n" +
           strFileBase + ".TXT // Car file\r\n" +
           "0 // Class\r\n"
           "255,0,0 // Colour\r\n"
           "2 // Engine\r\n" +
           strDescription + " // Description\r\n";
}

// An opponent list as the writer lays it out.
inline std::string OpponentList(const std::vector<std::string>& astrTexts) {
    std::string str = std::to_string(astrTexts.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < astrTexts.size(); ++i)
        str += "// Opponent " + std::to_string(i) + "\r\n" + astrTexts[i] + "\r\n\r\n";
    return str + "END\r\n";
}

inline void PutU32(std::string& str, std::size_t nOffset, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        str[nOffset + static_cast<std::size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

struct Entry {
    std::string m_strName; // written into its slot as it is; a NUL follows when it fits
    std::string m_strData;
    std::optional<std::uint32_t> m_nSize; // the size recorded, when it is not the data's
};

// An archive in the game's container layout. nCount, when given, is the count byte written
// whatever the number of entries.
inline std::string Archive(const std::vector<Entry>& aEntries,
                           std::optional<std::uint8_t> nCount = std::nullopt) {
    std::string str(8 + 56 * aEntries.size(), '\0');
    str[4] = static_cast<char>(nCount.value_or(static_cast<std::uint8_t>(aEntries.size())));
    for (std::size_t i = 0; i < aEntries.size(); ++i) {
        const Entry& entry = aEntries[i];
        PutU32(str, 8 + 56 * i,
               entry.m_nSize.value_or(static_cast<std::uint32_t>(entry.m_strData.size())));
        // A name longer than its slot runs on into the next one, as a broken archive's would.
        const std::string strName = entry.m_strName.substr(0, 52);
        str.replace(12 + 56 * i, strName.size(), strName);
    }
    for (const Entry& entry : aEntries) {
        str += entry.m_strData;
        str.resize((str.size() + 3) / 4 * 4, '\0');
    }
    return str;
}

inline constexpr std::size_t kTileBytes = 64 * 64 * 2;

// Pixels of a tile: every pixel the same two bytes.
inline std::string TilePixels(std::uint8_t b0, std::uint8_t b1, std::size_t nBytes = kTileBytes) {
    std::string str;
    for (std::size_t i = 0; i < nBytes; ++i)
        str += static_cast<char>(i % 2 == 0 ? b0 : b1);
    return str;
}

// A pixel-map record of the picture entry; the pixels may be cut short (at the end of an entry).
inline std::string TileRecord(const std::string& strName, const std::string& strPixels) {
    std::string str(21, '\x01');
    str += strName;
    str += '\0';
    str += std::string(16, '\x02');
    str += strPixels;
    if (strPixels.size() == kTileBytes)
        str += std::string(8, '\x03');
    return str;
}

// A picture archive: the entry "PIXIES.P16" holding the given records, after other entries.
inline std::string PictureArchive(const std::vector<std::string>& aRecords,
                                  const std::string& strEntryName = "PIXIES.P16") {
    std::string strPixies(16, '\0');
    for (const std::string& strRecord : aRecords)
        strPixies += strRecord;
    return Archive({{"PALETTE.PAL", "palette", {}}, {strEntryName, strPixies, {}}});
}

// A loose tile file: the pixels at offset 38.
inline std::string TileFile(const std::string& strPixels) {
    return std::string(38, '\x04') + strPixels;
}

} // namespace gamefiles
