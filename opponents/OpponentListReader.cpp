#include "opponents/OpponentListReader.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace {

bool IsCommentOnly(const std::string& strLine) {
    const std::size_t nFirst = strLine.find_first_not_of(" \t\v\f");
    return nFirst != std::string::npos && strLine.compare(nFirst, 2, "//") == 0;
}

// The count line's value, when it is a whole number.
std::optional<std::size_t> CountOf(const std::string& strLine) {
    const std::string strValue = ExtractValue(strLine);
    std::size_t nCount = 0;
    const char* pEnd = strValue.data() + strValue.size();
    const auto [p, ec] = std::from_chars(strValue.data(), pEnd, nCount);
    if (strValue.empty() || ec != std::errc() || p != pEnd)
        return std::nullopt;
    return nCount;
}

std::string Opponents(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " opponent" : " opponents");
}

// Why the list is not whole, then what its count promised against what was read.
std::string Reason(const std::string& strWhy, std::optional<std::size_t> nCount,
                   std::size_t nRead) {
    std::string str = strWhy + ". ";
    if (nCount)
        str += "Its count promises " + Opponents(*nCount) + "; " + std::to_string(nRead) +
               (nRead == 1 ? " was" : " were") + " read.";
    else
        str += "It has no count of opponents; " + std::to_string(nRead) +
               (nRead == 1 ? " was" : " were") + " read.";
    return str;
}

std::string LineTooLong() {
    return "it has a line longer than " + std::to_string(kMaxLineBytes) + " bytes";
}

} // namespace

OpponentList ParseOpponentList(std::string_view bytes, std::size_t nMaxRecords,
                               const std::string& strPath) {
    OpponentList list;
    const std::string strName =
        "The opponent list" + (strPath.empty() ? "" : " \"" + strPath + "\"");
    std::optional<std::size_t> nCount;
    const auto stop = [&](const std::string& strWhy) {
        list.strReason =
            strName + " was not read whole: " + Reason(strWhy, nCount, list.apRecords.size());
        return std::move(list);
    };
    if (IsUtf16Text(bytes)) {
        list.strReason = strName + " is " + std::string(kUtf16Reason) + ".";
        return list;
    }
    CTextReader reader(bytes);
    std::string strLine;

    // The count: the first line of at least one character that is not a comment.
    bool bCut = false;
    do {
        if (!reader.ReadLine(strLine, &bCut)) {
            list.strReason = strName + " holds no opponents, not even their count.";
            return list;
        }
    } while (strLine.empty() || IsCommentOnly(strLine));
    if (!bCut)
        nCount = CountOf(strLine);

    for (;;) {
        // Look ahead to the next value: the END line ends the list, anything else starts a record.
        const std::size_t nMark = reader.GetPosition();
        std::string strValue;
        bCut = false;
        while (strValue.empty()) {
            if (!reader.ReadLine(strLine, &bCut)) {
                // No END line: whole only when the count is there to vouch for every record.
                if (!nCount)
                    return stop("it has no END line");
                if (list.apRecords.size() < *nCount)
                    return stop("it ends without its END line");
                list.bWhole = true;
                return list;
            }
            if (bCut)
                return stop(LineTooLong());
            strValue = ExtractValue(strLine);
        }
        if (strValue == kEndLine) {
            list.bWhole = true;
            return list;
        }
        reader.SetPosition(nMark);

        if (list.apRecords.size() >= nMaxRecords)
            return stop("it holds more than " + Opponents(nMaxRecords));
        RecordEnd end;
        std::unique_ptr<CarRecord> pRecord = ParseRecord(reader, &end);
        if (end.bLineCut)
            return stop(LineTooLong());
        if (!pRecord)
            return stop("it ends inside a record, after " + std::to_string(end.nValues) +
                        " of its " + std::to_string(kRecordValues) + " values");
        list.apRecords.push_back(std::move(pRecord));
    }
}
