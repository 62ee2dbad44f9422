#include "opponents/OpponentWriter.h"

#include "opponents/OpponentReader.h"

#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <set>
#include <string_view>

namespace {

constexpr std::string_view kForbiddenChars = "\\/:*?\"<>|";

// The nth name tried for a car file: "BASE.C2C", then "BASE (2).C2C", ...
std::string NumberedName(const std::string& strBase, int n) {
    return strBase + (n > 1 ? " (" + std::to_string(n) + ")" : "") + std::string(kCarFileExtension);
}

// The longest start of strBase within kMaxCarFileNameBytes whose name, with the longest number
// tried and ".C2C", stays within kMaxCarFileNameUtf8Bytes however its code page turns into UTF-8.
std::string FitFileName(std::string_view strBase) {
    const std::size_t nRoom =
        kMaxCarFileNameUtf8Bytes - NumberedName("", kMaxCarFileNameTries).size();
    std::size_t nUtf8 = 0;
    std::size_t nBytes = 0;
    for (; nBytes < strBase.size() && nBytes < kMaxCarFileNameBytes; ++nBytes) {
        nUtf8 += static_cast<unsigned char>(strBase[nBytes]) < 0x80 ? 1 : kMaxUtf8BytesPerAnsiByte;
        if (nUtf8 > nRoom)
            break;
    }
    return std::string(strBase.substr(0, nBytes));
}

// The names in the current directory, in lower case.
std::set<std::string> LowerFolderNames() {
    std::set<std::string> names;
    for (const FolderEntry& entry : FindFiles("*"))
        names.insert(AsciiLower(entry.strName));
    return names;
}

// Removes the files that appeared since namesBefore holding exactly strBytes: what a write under
// a name the system did not keep left behind. Never raises; what cannot be removed stays.
void RemoveStrayCopies(const std::set<std::string>& namesBefore, std::string_view strBytes) {
    for (const FolderEntry& entry : FindFiles("*")) {
        const std::string& strName = entry.strName;
        if (entry.bDirectory || namesBefore.contains(AsciiLower(strName)))
            continue;
        try {
            if (ReadWholeFile(strName, strBytes.size()) == strBytes)
                CFile::Remove(strName);
        } catch (const CFileException&) {
        }
    }
}

} // namespace

void WriteOpponentListText(const std::string& strText) {
    // Written beside the list, under a name the game never uses, and moved over it in one step.
    WriteWholeFile(kOpponentList, strText, ExistingFile::Replace);
}

std::string CarFileBaseName(const std::string& strCarName) {
    std::string strBase = FitFileName(strCarName);
    for (char& ch : strBase) {
        const auto nByte = static_cast<unsigned char>(ch);
        if (nByte < 0x20 || nByte == 0x7F || kForbiddenChars.find(ch) != std::string_view::npos)
            ch = '_';
    }
    if (strBase.empty())
        return "Car";
    if (IsDeviceName(strBase))
        strBase = FitFileName("_" + strBase);
    return strBase;
}

void WriteNewCarFile(const std::string& strFile, std::string_view strBytes) {
    const std::set<std::string> namesBefore = LowerFolderNames();
    WriteWholeFile(strFile, strBytes, ExistingFile::Refuse);
    if (LowerFolderNames().contains(AsciiLower(strFile)))
        return;
    // The system stored the file under another name (under Wine, Linux cuts a name too long in
    // UTF-8): the car would be in no list after Ok, and a later name could find this file again.
    RemoveStrayCopies(namesBefore, strBytes);
    throw CFileException(CFileException::badPath, 0, strFile, "write the car file",
                         "the system stored it under another name, perhaps because the name is "
                         "too long there. Nothing was exported; give the car a shorter name in the "
                         "opponent list (with a text editor) to export it");
}

std::string WriteCarFile(const CarRecord& record) {
    const std::string strBase = CarFileBaseName(record.m_strCarName);
    if (IsUtf16Text(record.m_strText))
        throw CFileException(CFileException::genericException, 0, NumberedName(strBase, 1),
                             "export the car as",
                             "its text has NUL bytes in alternate places and would read back as "
                             "UTF-16 text, not as the car. Nothing was exported");
    for (int n = 1; n <= kMaxCarFileNameTries; ++n) {
        const std::string strFile = NumberedName(strBase, n);
        if (CFile::EntryExists(strFile))
            continue;
        // Renamed into place, which refuses an existing name: a probe that failed on a file that
        // is there must not lead to overwriting another car. Flushed, so it is on disk before Ok
        // can save a list without the car.
        WriteNewCarFile(strFile, record.m_strText);
        return strFile;
    }
    throw CFileException(
        CFileException::genericException, 0, NumberedName(strBase, 1), "export the car as",
        "that name and its numbered forms up to \"" + NumberedName(strBase, kMaxCarFileNameTries) +
            "\" are all taken. Move some of those files out of the game's folder, "
            "then try again");
}
