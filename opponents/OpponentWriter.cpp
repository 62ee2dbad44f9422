#include "opponents/OpponentWriter.h"

#include "platform/DeviceNames.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

// Beside the list, under a name the game never uses, so a crash leaves the list itself whole.
constexpr const char* kOpponentListTemp = "data\\opponent.txt.new";
constexpr std::string_view kForbiddenChars = "\\/:*?\"<>|";

void RemoveQuietly(const std::string& strPath) noexcept {
    try {
        CFile::Remove(strPath);
    } catch (...) {
        // Best effort (it may never have been made): the error that brought us here is the one
        // to report.
    }
}

} // namespace

void WriteOpponentList(std::span<const std::unique_ptr<CarRecord>> apRecords) {
    std::string strText = std::to_string(apRecords.size()) + "\r\n\r\n";
    for (std::size_t i = 0; i < apRecords.size(); ++i)
        strText +=
            "// Opponent " + std::to_string(i) + "\r\n" + apRecords[i]->m_strText + "\r\n\r\n";
    strText += "END\r\n";

    try {
        {
            CFile file(kOpponentListTemp, CFile::kBinaryWrite);
            file.Write(strText);
            file.Flush();
            file.Close();
        }
        CFile::Replace(kOpponentListTemp, kOpponentList);
    } catch (const CFileException&) {
        RemoveQuietly(kOpponentListTemp);
        throw;
    }
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

    // Written under a temporary name, then renamed, which refuses an existing name: a probe that
    // failed on a file that is there must not lead to overwriting another car. A partial car file
    // would be read as a car at the next start, so a failed one is removed.
    const std::string strTemp = strFile + ".new";
    try {
        {
            CFile file(strTemp, CFile::kBinaryWrite);
            file.Write(record.m_strText);
            // On disk before Ok can save a list without the car.
            file.Flush();
            file.Close();
        }
        CFile::Rename(strTemp, strFile);
    } catch (const CFileException&) {
        RemoveQuietly(strTemp);
        throw;
    }
    return strFile;
}
