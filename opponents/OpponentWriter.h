#pragma once

#include "opponents/CarRecord.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>

inline constexpr const char* kOpponentList = "data\\opponent.txt";

// The bytes of the game's opponent list holding the records, in order.
[[nodiscard]] std::string OpponentListText(std::span<const std::unique_ptr<CarRecord>> apRecords);

// Writes the records, in order, as the game's opponent list. The text goes to a temporary file
// beside the list, which then replaces the list in one step: on failure the old list is unchanged.
void WriteOpponentList(std::span<const std::unique_ptr<CarRecord>> apRecords);

// The longest file name, before ".C2C", that an exported car gets.
inline constexpr std::size_t kMaxCarFileNameBytes = 120;

// The name of the file a car is exported to, less ".C2C": the car name with each character that
// Windows refuses in a file name made "_", a leading "_" before a device name, "Car" for an empty
// name, cut to kMaxCarFileNameBytes.
std::string CarFileBaseName(const std::string& strCarName);

// Writes the record's text, unchanged, as car file CarFileBaseName(m_strCarName) + ".C2C" in the
// current directory. Never overwrites: when anything stands under that name in any case, the
// first free "NAME (2).C2C", "NAME (3).C2C", ... is used. Returns the name.
std::string WriteCarFile(const CarRecord& record);
