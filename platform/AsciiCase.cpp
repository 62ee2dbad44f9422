#include "platform/AsciiCase.h"

#include <algorithm>

std::string AsciiLower(std::string str) {
    for (char& c : str)
        c = FoldCase(c);
    return str;
}

bool EqualNoCase(std::string_view strA, std::string_view strB) {
    return strA.size() == strB.size() &&
           std::equal(strA.begin(), strA.end(), strB.begin(),
                      [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}
