#pragma once

#include "opponents/CarRecord.h"
#include "platform/FileException.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CFile;

// Given a file base, gives a picture index (-1 for none).
using PictureSource = std::function<int(const std::string& strFileBase)>;

// The longest line a record's text keeps. A value line of the game's files is a few dozen bytes;
// this bounds the memory any file of any size can take while it is read.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// One line from the current position; carriage returns are dropped, the line feed is consumed.
// Raises CFileException::EndOfInput() when no byte is left. A line longer than kMaxLineBytes is
// cut to that length (the rest of it is read and dropped) and *pbCut, when given, is set.
std::string ReadLine(CFile& file, bool* pbCut = nullptr);

// The value of a line: the part before "//" less the character just before it, trimmed.
std::string ExtractValue(const std::string& strLine);

inline constexpr int kRecordValues = 11;

// How a ParseRecord call ended, for callers that must tell a short file from a damaged one.
struct RecordEnd {
    int nValues = 0;                     // values of the record found, at most kRecordValues
    bool bLineCut = false;               // it met a line longer than kMaxLineBytes and gave none
    std::optional<CFileException> error; // a file error other than the end of input
};

// One whole record of eleven values; the file is left at the start of the twelfth value's line.
// Gives none when the record is incomplete or a file error occurs; *pEnd, when given, says why.
// A file error while the twelfth value is sought completes the record and is still reported.
std::unique_ptr<CarRecord> ParseRecord(CFile& file, const PictureSource& pictureSource,
                                       RecordEnd* pEnd = nullptr);
