#include "opponents/OpponentReader.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// Header lines written before each record; they carry no value and are never kept.
constexpr std::string_view kHeaderStart = "// Opponen";
// How much of a text the check for UTF-16 without a byte-order mark looks at: its first lines.
constexpr std::size_t kUtf16ProbeBytes = 256;

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

bool IsUtf16Text(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return true;
    const std::size_t nPairs = std::min(bytes.size(), kUtf16ProbeBytes) / 2;
    std::size_t anNuls[2] = {0, 0}; // in the first and in the second byte of each pair
    for (std::size_t i = 0; i < 2 * nPairs; ++i)
        if (bytes[i] == '\0')
            ++anNuls[i % 2];
    // A letter outside ASCII may give a pair without a NUL, or (rarely) one with it in the other
    // byte; a broken file of NULs alone has them in both and is no UTF-16.
    for (const std::size_t n : {0u, 1u})
        if (nPairs > 0 && bytes[n] == '\0' && bytes[1 - n] != '\0' && 2 * anNuls[n] >= nPairs &&
            4 * anNuls[1 - n] <= anNuls[n])
            return true;
    return false;
}

bool CTextReader::ReadLine(std::string& strLine, bool* pbCut) {
    strLine.clear();
    if (m_nPosition >= m_text.size())
        return false;
    const std::size_t nFeed = m_text.find('\n', m_nPosition);
    const bool bFeed = nFeed != std::string_view::npos;
    std::string_view line =
        m_text.substr(m_nPosition, (bFeed ? nFeed : m_text.size()) - m_nPosition);
    m_nPosition += line.size() + (bFeed ? 1 : 0);
    // The pieces between carriage returns, as far as the line's room goes.
    while (!line.empty()) {
        const std::size_t nReturn = line.find('\r');
        std::string_view piece = line.substr(0, nReturn);
        if (const std::size_t nRoom = kMaxLineBytes - strLine.size(); piece.size() > nRoom) {
            piece = piece.substr(0, nRoom);
            if (pbCut != nullptr)
                *pbCut = true;
        }
        strLine += piece;
        if (nReturn == std::string_view::npos)
            break;
        line.remove_prefix(nReturn + 1);
    }
    // Marks before the first character go, however many, so that no line kept for writing back
    // begins with one and reads otherwise the next time.
    for (std::size_t nAt = 0;;) {
        nAt = strLine.find_first_not_of(kWhiteSpace, nAt);
        if (nAt == std::string::npos ||
            strLine.compare(nAt, kUtf8ByteOrderMark.size(), kUtf8ByteOrderMark) != 0)
            break;
        strLine.erase(nAt, kUtf8ByteOrderMark.size());
    }
    return bFeed || !strLine.empty();
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

std::unique_ptr<CarRecord> ParseRecord(CTextReader& reader, RecordEnd* pEnd) {
    RecordEnd end;
    auto pRecord = std::make_unique<CarRecord>();
    int nCount = 0;
    std::size_t nMark = 0;
    std::string strLine;
    while (nCount <= kRecordValues) {
        end.nValues = std::min(nCount, kRecordValues);
        nMark = reader.GetPosition();
        if (!reader.ReadLine(strLine, &end.bLineCut)) {
            // Once eleven values are in, the end of the text completes the record.
            if (nCount != kRecordValues)
                pRecord.reset();
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
    if (pRecord)
        reader.SetPosition(nMark); // leave the twelfth value's line for the next record
    if (pEnd != nullptr)
        *pEnd = end;
    return pRecord;
}
