#pragma once

// Builds the game's files byte by byte, for the tests and the fuzzing seeds: car records and
// opponent lists, archives in the game's container layout (damaged ones too), picture archives
// and loose tile files.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gamefiles {

// Joins a record's eleven lines, each ended by "\r\n".
inline std::string RecordOf(const std::vector<std::string>& astrLines) {
    std::string str;
    for (const std::string& strLine : astrLines)
        str += strLine + "\r\n";
    return str;
}

// A plain car record, its seventh value naming the picture files as FILEBASE.TXT.
inline std::string CarText(const std::string& strName, const std::string& strFileBase = "") {
    return RecordOf({"Driver of " + strName, "7 // skill", strName, "61", "25000", "1",
                     strFileBase + ".TXT", "x1", "x2", "x3", "Quick in the bends"});
}

// A car record with a comment on each line, as the game's own files have them. Its lines are
// trimmed already, so it is also the text the reader keeps.
inline std::string RecordText(const std::string& strCarName,
                              const std::string& strFileBase = "EAGLE",
                              const std::string& strDescription = "Fast and light") {
    return RecordOf({"Ada Driver // Driver name", "ADA // Short name", strCarName + " // Car name",
                     "3 // Strength", "120000 // Cost", "1 // Network availability",
                     strFileBase + ".TXT // Car file", "0 // Class", "255,0,0 // Colour",
                     "2 // Engine", strDescription + " // Description"});
}

// An opponent list as the game and the installer write it.
inline std::string OpponentList(const std::vector<std::string>& astrTexts) {
    std::string str = std::to_string(astrTexts.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < astrTexts.size(); ++i)
        str += "// Opponent " + std::to_string(i) + "\r\n" + astrTexts[i] + "\r\n\r\n";
    return str + "END\r\n";
}

// The text with its "\r\n" line ends made another kind, in another encoding, as editors save.
enum class LineEnd { CrLf, Lf, Cr, CrLfAndLf }; // the last: by turns
enum class Encoding { Plain, Utf8Mark, Utf16WithMark, Utf16 };
inline std::string Encoded(const std::string& strText, LineEnd lineEnd, Encoding encoding) {
    static constexpr const char* kEnds[] = {"\r\n", "\n", "\r"};
    std::string str = encoding == Encoding::Utf8Mark ? "\xEF\xBB\xBF" : "";
    for (std::size_t i = 0, nLine = 0; i < strText.size(); ++i) {
        if (strText.compare(i, 2, "\r\n") != 0)
            str += strText[i];
        else if (++i; lineEnd == LineEnd::CrLfAndLf)
            str += kEnds[nLine++ % 2];
        else
            str += kEnds[static_cast<int>(lineEnd)];
    }
    if (encoding == Encoding::Plain || encoding == Encoding::Utf8Mark)
        return str;
    std::string strWide = encoding == Encoding::Utf16WithMark ? "\xFF\xFE" : "";
    for (const char c : str)
        strWide += std::string{c, '\0'}; // little-endian; bytes above 0x7F as Latin-1
    return strWide;
}

inline void PutU32(std::string& str, std::size_t nOffset, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        str[nOffset + static_cast<std::size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

struct Entry {
    Entry(std::string strName, std::string strData, std::optional<std::uint32_t> nSize = {})
        : m_strName(std::move(strName)), m_strData(std::move(strData)), m_nSize(nSize) {}

    std::string m_strName; // written into its slot as it is; a NUL follows when it fits
    std::string m_strData;
    std::optional<std::uint32_t> m_nSize; // the size recorded, when it is not the data's
};

// Filler for the bytes the reader must not look at, so that nothing relies on them being zero.
inline constexpr char kNoZeros = '\xEE';

// An archive in the game's container layout: the count at offset 4, 56-byte slots (size, name)
// from 8, the data after them padded to multiples of 4. nCount, when given, is the count byte
// written whatever the number of entries; cFill fills every byte that carries nothing.
inline std::string Archive(const std::vector<Entry>& aEntries,
                           std::optional<std::uint8_t> nCount = std::nullopt, char cFill = '\0') {
    std::string str(8 + 56 * aEntries.size(), cFill);
    str[4] = static_cast<char>(nCount.value_or(static_cast<std::uint8_t>(aEntries.size())));
    for (std::size_t i = 0; i < aEntries.size(); ++i) {
        const Entry& entry = aEntries[i];
        PutU32(str, 8 + 56 * i,
               entry.m_nSize.value_or(static_cast<std::uint32_t>(entry.m_strData.size())));
        // A name longer than its slot runs on into the next one, as a broken archive's would.
        std::string strName = entry.m_strName.substr(0, 52);
        if (strName.size() < 52)
            strName += '\0';
        str.replace(12 + 56 * i, strName.size(), strName);
    }
    for (const Entry& entry : aEntries) {
        str += entry.m_strData;
        str.resize((str.size() + 3) / 4 * 4, cFill);
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

// A pixel-map record of the picture entry: a 21-byte head, the name, a 16-byte pixel head, the
// pixels and an 8-byte tail; the pixels may be cut short (at the end of an entry).
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

// The picture entry "PIXIES.P16": 16 bytes, then the records.
inline std::string Pixies(const std::vector<std::string>& astrRecords) {
    std::string str(16, '\0');
    for (const std::string& strRecord : astrRecords)
        str += strRecord;
    return str;
}

// A picture archive: the picture entry holding the given records, after another entry.
inline std::string PictureArchive(const std::vector<std::string>& astrRecords,
                                  const std::string& strEntryName = "PIXIES.P16") {
    return Archive({{"PALETTE.PAL", "palette"}, {strEntryName, Pixies(astrRecords)}});
}

// A loose tile file: the pixels at offset 38.
inline std::string TileFile(const std::string& strPixels) {
    return std::string(38, '\x04') + strPixels;
}

inline std::string CarImageFolder() {
    return "data/intrface/carimage/";
}

} // namespace gamefiles
