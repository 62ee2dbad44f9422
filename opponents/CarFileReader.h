#pragma once

#include "opponents/OpponentReader.h"

#include <cstdint>
#include <memory>
#include <string>

// No car file comes near this size; a larger one is not read at all, so that one stray file
// cannot take the program's memory.
inline constexpr std::uint64_t kMaxCarFileBytes = 1024 * 1024;

// The car of one add-on car file, or why the file holds none.
struct CarFile {
    std::unique_ptr<CarRecord> pRecord; // without a picture yet (see ParseRecord)
    std::string strReason;              // when there is no record: a text to show after "NAME: "
};

// Opens the car file once, reads it whole and parses its one record. Never raises: a file that
// cannot be opened or read, is not a file, is too large, is in UTF-16, has a cut line or holds too
// few values gives no record and a reason.
[[nodiscard]] CarFile ReadCarFile(const std::string& strPath);
