#pragma once

#include "opponents/CarRecord.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// The longest line a record's text keeps. A value line of the game's files is a few dozen bytes;
// this bounds the memory a line of any length can take while it is read.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Some editors put this before a text saved as UTF-8. It is no part of the text: read as ANSI it
// would join the first value, and written back it would come before the game's count line.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Why text in UTF-16 is not read, after "NAME: " or "... is ": read as ANSI bytes, every other
// byte of it is a NUL.
inline constexpr std::string_view kUtf16Reason = "UTF-16 text; save it as ANSI";

// True when the bytes are text in UTF-16 of either byte order: they begin with its byte-order
// mark, or, without one, their first lines have a NUL byte in one position of the first byte pair
// and of most of the others and hardly any in the other, as ASCII text in UTF-16 has and ANSI text
// never does. What the program writes never looks so: a list begins with its count, and a car
// file whose text would is not written (see WriteCarFile).
[[nodiscard]] bool IsUtf16Text(std::string_view bytes);

// Text in memory, read line by line from a position. It holds a view: the bytes must outlive it.
class CTextReader {
public:
    explicit CTextReader(std::string_view text) : m_text(text) {}

    // The next line into strLine; carriage returns are dropped, the line feed is consumed, and so
    // are UTF-8 byte-order marks before its first character (the text's own, or that of a file
    // joined on). False at the end of the text (a last line of carriage returns alone is no
    // line). A line longer than kMaxLineBytes is cut to that length (the rest of it is passed
    // over) and *pbCut, when given, is set.
    bool ReadLine(std::string& strLine, bool* pbCut = nullptr);
    std::size_t GetPosition() const { return m_nPosition; }
    // Back to a position GetPosition gave.
    void SetPosition(std::size_t nPosition) { m_nPosition = nPosition; }

private:
    std::string_view m_text;
    std::size_t m_nPosition = 0;
};

// The value of a line: the part before "//" less the character just before it, trimmed.
std::string ExtractValue(const std::string& strLine);

inline constexpr int kRecordValues = 11;

// How a ParseRecord call ended, for callers that must tell a short text from a damaged one.
struct RecordEnd {
    int nValues = 0;       // values of the record found, at most kRecordValues
    bool bLineCut = false; // it met a line longer than kMaxLineBytes and gave none
};

// One whole record of eleven values; the reader is left at the start of the twelfth value's
// line. Gives none when the record is incomplete; *pEnd, when given, says why. The record has
// no picture yet (m_nImage -1): its m_strFileBase names the one the caller may attach.
std::unique_ptr<CarRecord> ParseRecord(CTextReader& reader, RecordEnd* pEnd = nullptr);
