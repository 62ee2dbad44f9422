#include "opponents/OpponentWriter.h"

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
constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};

void RemoveQuietly(const std::string& strPath) noexcept {
    try {
        CFile::Remove(strPath);
    } catch (...) {
        // Best effort (it may never have been made): the error that brought us here is the one
        // to report.
    }
}

std::string ToUpper(std::string_view str) {
    std::string strUpper(str);
    for (char& ch : strUpper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return strUpper;
}

// Windows opens a device for these, whatever extension follows and in any case.
bool IsDeviceName(const std::string& strName) {
    std::string_view strStem = std::string_view(strName).substr(0, strName.find('.'));
    while (!strStem.empty() && strStem.back() == ' ')
        strStem.remove_suffix(1);
    const std::string strUpper = ToUpper(strStem);
    if (std::find(kDevices.begin(), kDevices.end(), strUpper) != kDevices.end())
        return true;
    return strUpper.size() == 4 && strUpper[3] >= '1' && strUpper[3] <= '9' &&
           std::find(kNumberedDevices.begin(), kNumberedDevices.end(),
                     std::string_view(strUpper).substr(0, 3)) != kNumberedDevices.end();
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

    auto pFile = std::make_unique<CFile>(strFile, CFile::kBinaryWrite);
    try {
        pFile->Write(record.m_strText);
        pFile->Close();
    } catch (const CFileException&) {
        // A partial car file would be read as a car at the next start.
        pFile.reset();
        RemoveQuietly(strFile);
        throw;
    }
    return strFile;
}
