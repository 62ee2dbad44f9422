#pragma once

#include "opponents/CarRecord.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

inline constexpr const char* kOpponentList = "data\\opponent.txt";

// The bytes of the game's opponent list holding the records, in order: any range of pointers to
// records, owning or shared.
template <typename TRecords> [[nodiscard]] std::string OpponentListText(const TRecords& apRecords) {
    std::string strText = std::to_string(std::size(apRecords)) + "\r\n\r\n";
    std::size_t i = 0;
    for (const auto& pRecord : apRecords)
        strText += "// Opponent " + std::to_string(i++) + "\r\n" + pRecord->m_strText + "\r\n\r\n";
    return strText + "END\r\n";
}

// Writes the text as the game's opponent list. It goes to a temporary file beside the list, which
// then replaces the list in one step: on failure the old list is unchanged.
void WriteOpponentListText(const std::string& strText);

// Writes the records, in order, as the game's opponent list.
template <typename TRecords> void WriteOpponentList(const TRecords& apRecords) {
    WriteOpponentListText(OpponentListText(apRecords));
}

// An exported car's file name ends so; the load finds car files by it in any case.
inline constexpr std::string_view kCarFileExtension = ".C2C";

// The longest file name, before ".C2C", that an exported car gets.
inline constexpr std::size_t kMaxCarFileNameBytes = 120;

// The longest whole file name, " (N)" and ".C2C" included, that an exported car gets, counted in
// UTF-8. Under Wine each name is stored in UTF-8, where a byte of the program's code page takes
// up to kMaxUtf8BytesPerAnsiByte bytes, and Linux file systems cut names at 255 bytes.
inline constexpr std::size_t kMaxCarFileNameUtf8Bytes = 200;
// The most UTF-8 bytes one byte of a single-byte code page becomes (any character below U+10000).
inline constexpr std::size_t kMaxUtf8BytesPerAnsiByte = 3;

// The most names one export tries: "NAME.C2C", "NAME (2).C2C", ... up to this number.
inline constexpr int kMaxCarFileNameTries = 1000;

// The name of the file a car is exported to, less ".C2C": the car name with each character that
// Windows refuses in a file name made "_", a leading "_" before a device name, "Car" for an empty
// name, cut to kMaxCarFileNameBytes and so that the whole name, with the longest " (N)" and
// ".C2C", fits kMaxCarFileNameUtf8Bytes.
//
// The cut counts bytes: in a double-byte code page it may leave a lead byte without its second
// byte, which the system then takes with the next one; WriteNewCarFile finds that name changed.
std::string CarFileBaseName(const std::string& strCarName);

// Writes the bytes as a new file in the current directory under exactly strFile, refusing an
// existing one (see WriteWholeFile). When the folder then holds no entry of that name in any case
// (the system changed or cut the name), what was written is removed if it can be found, and
// CFileException says so.
void WriteNewCarFile(const std::string& strFile, std::string_view strBytes);

// Writes the record's text, unchanged, as car file CarFileBaseName(m_strCarName) + ".C2C" in the
// current directory (WriteNewCarFile). Never overwrites: when anything stands under that name in
// any case, the first free "NAME (2).C2C", "NAME (3).C2C", ... is used; when none of the
// kMaxCarFileNameTries names is free, or the text would read back as UTF-16, CFileException says
// so. Returns the name.
std::string WriteCarFile(const CarRecord& record);
