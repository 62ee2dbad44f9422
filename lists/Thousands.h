#pragma once

#include <cstddef>
#include <string>

// 1200 as "1,200", as the window shows counts.
inline std::string WithThousands(std::size_t n) {
    std::string str = std::to_string(n);
    for (int i = static_cast<int>(str.size()) - 3; i > 0; i -= 3)
        str.insert(static_cast<std::size_t>(i), 1, ',');
    return str;
}
