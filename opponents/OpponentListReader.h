#pragma once

#include "opponents/OpponentReader.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// The line that ends an opponent list; a record's first value may never be this.
inline constexpr std::string_view kEndLine = "END";

// An opponent list as read from a file: its records, in order, and whether they are all of it.
struct OpponentList {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    bool bWhole = false;   // reached its END line, or without one, read all its count promised
    std::string strReason; // when not whole: what went wrong and how many were read, for people
};

// Reads a whole opponent list from the start of an open file: the count line (comment lines
// before it are passed over), then record by record up to the END line. A list that cannot be
// shown to be whole (a file error, a cut line, a record cut short, fewer records than the count
// without an END line) keeps the records read so far and says why in strReason. It never raises.
// Reading stops once more than nMaxRecords records begin.
[[nodiscard]] OpponentList
ReadOpponentList(CFile& file, const PictureSource& pictureSource,
                 std::size_t nMaxRecords = std::numeric_limits<std::size_t>::max());
