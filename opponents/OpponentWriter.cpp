#include "opponents/OpponentWriter.h"

#include "platform/DeviceNames.h"
#include "platform/File.h"
#include "platform/WriteWholeFile.h"

#include <string_view>

namespace {

constexpr std::string_view kForbiddenChars = "\\/:*?\"<>|";

} // namespace

std::string OpponentListText(std::span<const std::unique_ptr<CarRecord>> apRecords) {
    std::string strText = std::to_string(apRecords.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < apRecords.size(); ++i)
        strText +=
            "// Opponent " + std::to_string(i) + "\r\n" + apRecords[i]->m_strText + "\r\n\r\n";
    strText += "END\r\n";
    return strText;
}

void WriteOpponentList(std::span<const std::unique_ptr<CarRecord>> apRecords) {
    // Written beside the list, under a name the game never uses, and moved over it in one step.
    WriteWholeFile(kOpponentList, OpponentListText(apRecords), ExistingFile::Replace);
}

std::string CarFileBaseName(const std::string& strCarName) {
    std::string strBase = strCarName.substr(0, kMaxCarFileNameBytes);
    for (char& ch : strBase) {
        const auto nByte = static_cast<unsigned char>(ch);
        if (nByte < 0x20 || nByte == 0x7F || kForbiddenChars.find(ch) != std::string_view::npos)
            ch = '_';
    }
    if (strBase.empty())
        return "Car";
    if (IsDeviceName(strBase)) {
        strBase.insert(0, "_");
        if (strBase.size() > kMaxCarFileNameBytes)
            strBase.pop_back();
    }
    return strBase;
}

std::string WriteCarFile(const CarRecord& record) {
    const std::string strBase = CarFileBaseName(record.m_strCarName);
    std::string strFile = strBase + ".C2C";
    for (int n = 2; CFile::EntryExists(strFile); ++n)
        strFile = strBase + " (" + std::to_string(n) + ").C2C";

    // Renamed into place, which refuses an existing name: a probe that failed on a file that is
    // there must not lead to overwriting another car. Flushed, so it is on disk before Ok can
    // save a list without the car.
    WriteWholeFile(strFile, record.m_strText, ExistingFile::Refuse);
    return strFile;
}
