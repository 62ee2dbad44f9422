#pragma once

#include <cstddef>
#include <optional>
#include <string>

class CFile;

// A name ended by a NUL byte, read from the file's current position with the NUL; none when the
// file ends first or the name grows longer than nMaxLength bytes.
[[nodiscard]] std::optional<std::string> ReadNulEndedName(CFile& file, std::size_t nMaxLength);
