#include "opponents/OpponentWriter.h"

#include "platform/DeviceNames.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/WriteWholeFile.h"

#include <string_view>

namespace {

constexpr std::string_view kForbiddenChars = "\\/:*?\"<>|";

} // namespace

void WriteOpponentList(std::span<const std::unique_ptr<CarRecord>> apRecords) {
    std::string strText = std::to_string(apRecords.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < apRecords.size(); ++i)
        strText +=
            "// Opponent " + std::to_string(i) + "\r\n" + apRecords[i]->m_strText + "\r\n\r\n";
    strText += "END\r\n";

    // Written beside the list, under a name the game never uses, and moved over it in one step.
    WriteWholeFile(kOpponentList, strText, ExistingFile::Replace);
}

bool IsSafeCarName(const std::string& strName) {
    if (strName.empty() || strName.back() == ' ' || strName.back() == '.')
        return false;
    for (const char ch : strName) {
        const auto nByte = static_cast<unsigned char>(ch);
        if (nByte < 0x20 || nByte == 0x7F || kForbiddenChars.find(ch) != std::string_view::npos)
            return false;
    }
    return !IsDeviceName(strName);
}

std::string WriteCarFile(const CarRecord& record) {
    const std::string& strName = record.m_strCarName;
    if (!IsSafeCarName(strName))
        throw CFileException(CFileException::badPath, 0, strName, "export the car {}",
                             "its name cannot be a file name");

    std::string strFile = strName + ".C2C";
    for (int n = 2; CFile::Exists(strFile); ++n)
        strFile = strName + " (" + std::to_string(n) + ").C2C";

    // Renamed into place, which refuses an existing name: a probe that failed on a file that is
    // there must not lead to overwriting another car. Flushed, so it is on disk before Ok can
    // save a list without the car.
    WriteWholeFile(strFile, record.m_strText, ExistingFile::Refuse);
    return strFile;
}
