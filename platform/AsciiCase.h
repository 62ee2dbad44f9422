#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Case folding of ASCII letters only, whatever the locale says: file names and the game's texts
// are compared the way the game's system compares them, and bytes above 127 stay as they are.
[[nodiscard]] constexpr char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
[[nodiscard]] inline std::string AsciiLower(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(), FoldCase);
    return str;
}
[[nodiscard]] inline bool EqualNoCase(std::string_view strA, std::string_view strB) {
    return std::equal(strA.begin(), strA.end(), strB.begin(), strB.end(),
                      [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}
