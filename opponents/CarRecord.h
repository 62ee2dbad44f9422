#pragma once

#include <string>

// One car, from the game's opponent list or from an add-on car file.
struct CarRecord {
    int m_nImage = -1;         // picture index, -1 for none
    std::string m_strCarName;  // third value: the list line, the match key, the export name
    std::string m_strFileBase; // seventh value less its last four characters; names the pictures
    std::string m_strInfo;     // summary shown to the user, "\r\n" after each line
    std::string m_strText;     // the record's own trimmed lines, "\r\n" after each; written back
};
