#pragma once

#include <string>
#include <string_view>

// Case folding of ASCII letters only, whatever the locale says: file names and the game's texts
// are compared the way the game's system compares them, and bytes above 127 stay as they are.
[[nodiscard]] constexpr char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
[[nodiscard]] std::string AsciiLower(std::string str);
[[nodiscard]] bool EqualNoCase(std::string_view strA, std::string_view strB);
