#pragma once

#include "opponents/OpponentReader.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The largest opponent list read: some 8 KB for each of 2000 cars, where a record of the game's
// own list takes a few hundred bytes. A larger file is refused rather than read into memory.
inline constexpr std::uint64_t kMaxOpponentListBytes = 16 * 1024 * 1024;

// The line that ends an opponent list; a record's first value may never be this.
inline constexpr std::string_view kEndLine = "END";

// An opponent list as read from a file: its records, in order, and whether they are all of it.
struct OpponentList {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
    bool bWhole = false;   // reached its END line, or without one, read all its count promised
    std::string strReason; // when not whole: what went wrong and how many were read, for people
};

// Parses a whole opponent list from its bytes: the count line (comment lines before it are passed
// over), then record by record up to the END line. A list that cannot be shown to be whole (a cut
// line, a record cut short, fewer records than the count without an END line) keeps the records
// read so far and says why in strReason; a list in UTF-16 gives no records. Parsing stops once
// more than nMaxRecords records begin. The records have no pictures yet (see ParseRecord). strPath,
// when given, names the file in strReason.
[[nodiscard]] OpponentList
ParseOpponentList(std::string_view bytes,
                  std::size_t nMaxRecords = std::numeric_limits<std::size_t>::max(),
                  const std::string& strPath = {});
