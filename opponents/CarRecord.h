#pragma once

#include <string>

// One car, from the game's opponent list or from an add-on car file.
struct CarRecord {
    // Picture number, -1 for none: given by the picture cache to the file base in load order
    // without reading a file, the same for every car of that base and for copies of the car. The
    // cache composes the picture when it is first drawn and maps the number to its place in the
    // image list then; a base whose picture files are missing has a number all the same.
    int m_nImage = -1;
    std::string m_strCarName;  // third value: the list line, the match key, the export name
    std::string m_strFileBase; // seventh value less its last four characters; names the pictures
    std::string m_strInfo;     // summary shown to the user, "\r\n" after each line
    std::string m_strText;     // the record's own trimmed lines, "\r\n" after each; written back
};
