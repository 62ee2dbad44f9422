#include "opponents/CarFileReader.h"

#include "opponents/OpponentListReader.h"

#include "platform/File.h"
#include "platform/FileException.h"

namespace {

std::string ReasonOf(const CFileException& e) {
    return e.GetReason().empty() ? e.what() : e.GetReason();
}

std::string SizeText(std::uint64_t nBytes) {
    constexpr std::uint64_t kKiB = 1024;
    constexpr std::uint64_t kMiB = 1024 * kKiB;
    if (nBytes >= 10 * kMiB)
        return std::to_string(nBytes / kMiB) + " MB";
    return std::to_string((nBytes + kKiB - 1) / kKiB) + " KB";
}

} // namespace

CarFile ReadCarFile(const std::string& strPath) {
    CarFile car;
    CFile file;
    try {
        file.Open(strPath, CFile::modeRead);
    } catch (const CFileException& e) {
        car.strReason = "could not be opened: " + ReasonOf(e);
        return car;
    }
    std::string strBytes;
    try {
        const std::uint64_t nBytes = file.GetLength();
        if (nBytes > kMaxCarFileBytes) {
            car.strReason = SizeText(nBytes) + " is too large for a car file";
            return car;
        }
        // The bytes the file held when it was opened (the open told its length): one request.
        strBytes.resize(static_cast<std::size_t>(nBytes));
        strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
    } catch (const CFileException& e) {
        car.strReason = "could not be read: " + ReasonOf(e);
        return car;
    }

    if (IsUtf16Text(strBytes)) {
        car.strReason = kUtf16Reason;
        return car;
    }
    CTextReader reader(strBytes);
    RecordEnd end;
    car.pRecord = ParseRecord(reader, &end);
    if (end.bLineCut)
        car.strReason = "has a line longer than " + std::to_string(kMaxLineBytes) + " bytes";
    else if (!car.pRecord)
        car.strReason = "holds " + std::to_string(end.nValues) + " of the " +
                        std::to_string(kRecordValues) + " values a car needs";
    else if (car.pRecord->m_strInfo.starts_with("Driver: " + std::string(kEndLine) + "\r\n"))
        car.strReason = "its first value is END, which would end the opponent list it joins";
    if (!car.strReason.empty())
        car.pRecord.reset(); // a file that gave a reason gives no car, even a complete one
    return car;
}
