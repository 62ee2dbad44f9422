#include "platform/ReadNulEndedName.h"

#include "platform/File.h"

std::optional<std::string> ReadNulEndedName(CFile& file, std::size_t nMaxLength) {
    std::string strName;
    char c = 0;
    while (strName.size() <= nMaxLength && file.Read(&c, 1) == 1) {
        if (c == '\0')
            return strName;
        strName += c;
    }
    return std::nullopt;
}
