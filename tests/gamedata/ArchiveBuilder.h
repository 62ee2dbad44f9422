#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Builds archive bytes: count at offset 4, 56-byte slots from 8, data padded to multiples of 4.
// Filler bytes are 0xEE so that nothing relies on them being zero.
inline std::string BuildArchive(const std::vector<std::pair<std::string, std::string>>& aEntries) {
    std::string strBytes = "\xEE\xEE\xEE\xEE";
    strBytes += static_cast<char>(aEntries.size());
    strBytes += "\xEE\xEE\xEE";
    for (const auto& [strName, strData] : aEntries) {
        const auto nSize = static_cast<std::uint32_t>(strData.size());
        for (int nShift = 0; nShift < 32; nShift += 8)
            strBytes += static_cast<char>(nSize >> nShift & 0xFF);
        std::string strSlot = strName;
        strSlot.resize(52, '\xEE');
        if (strName.size() < 52)
            strSlot[strName.size()] = '\0';
        strBytes += strSlot;
    }
    for (const auto& entry : aEntries) {
        strBytes += entry.second;
        strBytes.append((4 - strBytes.size() % 4) % 4, '\xEE');
    }
    return strBytes;
}
