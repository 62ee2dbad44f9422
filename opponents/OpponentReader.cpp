#include "opponents/OpponentReader.h"

#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// Header lines written before each record; they carry no value and are never kept.
constexpr std::string_view kHeaderStart = "// Opponen";

std::string Trim(std::string_view str) {
    const auto nFirst = str.find_first_not_of(kWhiteSpace);
    if (nFirst == std::string_view::npos)
        return {};
    const auto nLast = str.find_last_not_of(kWhiteSpace);
    return std::string(str.substr(nFirst, nLast - nFirst + 1));
}

// What the c-th value of a record contributes to it.
void TakeValue(CarRecord& record, int nCount, const std::string& strValue) {
    switch (nCount) {
    case 1:
        record.m_strInfo += "Driver: " + strValue + "\r\n";
        break;
    case 3:
        record.m_strInfo += "Car: " + strValue + "\r\n";
        record.m_strCarName = strValue;
        break;
    case 4:
        record.m_strInfo += "Strength: " + strValue + "\r\n";
        break;
    case 5:
        record.m_strInfo += "Cost: " + strValue + "\r\n";
        break;
    case 6:
        record.m_strInfo += "Network Availability: " + strValue + "\r\n";
        break;
    case 7:
        // An entry such as EAGLE.TXT names the pictures EAGLE.
        record.m_strFileBase = strValue.size() > 4 ? strValue.substr(0, strValue.size() - 4) : "";
        break;
    case 8:
    case 9:
    case 10:
        record.m_strInfo += strValue + "\r\n";
        break;
    case 11:
        record.m_strInfo += "Description: " + strValue + "\r\n";
        break;
    default: // the second value is not shown; the twelfth belongs to the next record
        break;
    }
}

} // namespace

std::string ReadLine(CFile& file, bool* pbCut) {
    std::string strLine;
    char ch = 0;
    while (file.Read(&ch, 1) == 1) {
        if (ch == '\n')
            return strLine;
        if (ch == '\r')
            continue;
        if (strLine.size() < kMaxLineBytes)
            strLine += ch;
        else if (pbCut != nullptr)
            *pbCut = true;
    }
    if (strLine.empty())
        throw CFileException::EndOfInput();
    return strLine;
}

std::string ExtractValue(const std::string& strLine) {
    const auto nComment = strLine.find("//");
    if (nComment == std::string::npos)
        return Trim(strLine);
    // The character just before the comment marker goes with it.
    if (nComment <= 1)
        return {};
    return Trim(std::string_view(strLine).substr(0, nComment - 1));
}

std::unique_ptr<CarRecord> ParseRecord(CFile& file, const PictureSource& pictureSource,
                                       RecordEnd* pEnd) {
    RecordEnd end;
    auto pRecord = std::make_unique<CarRecord>();
    try {
        int nCount = 0;
        std::uint64_t nMark = 0;
        while (nCount <= kRecordValues) {
            end.nValues = std::min(nCount, kRecordValues);
            nMark = file.GetPosition();
            std::string strLine;
            try {
                strLine = ReadLine(file, &end.bLineCut);
            } catch (const CFileException& e) {
                // Once eleven values are in, the end of input completes the record.
                if (nCount != kRecordValues)
                    throw;
                if (!e.IsEndOfInput())
                    end.error = e;
                break;
            }
            if (end.bLineCut) {
                pRecord.reset(); // a cut line would be written back cut
                break;
            }
            const std::string strValue = ExtractValue(strLine);
            if (!strValue.empty())
                TakeValue(*pRecord, ++nCount, strValue);
            const std::string strTrimmed = Trim(strLine);
            if (!strTrimmed.empty() && nCount <= kRecordValues &&
                strTrimmed.compare(0, kHeaderStart.size(), kHeaderStart) != 0)
                pRecord->m_strText += strTrimmed + "\r\n";
        }
        if (pRecord) {
            // Leave the twelfth value's line for the next record.
            file.Seek(nMark);
            pRecord->m_nImage = pictureSource(pRecord->m_strFileBase);
        }
    } catch (const CFileException& e) {
        if (!e.IsEndOfInput())
            end.error = e;
        pRecord.reset();
    }
    if (pEnd != nullptr)
        *pEnd = std::move(end);
    return pRecord;
}
