// Reads the directory of an arbitrary "data.twt" and unpacks it in a scratch game folder. Nothing
// may appear outside "data\" but the archive's own names, nothing outside the game folder may
// change, and a damaged archive must be left exactly as it was.

#include "fuzz/Scratch.h"
#include "gamedata/ArchiveReader.h"
#include "gamedata/GameData.h"
#include "platform/File.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

constexpr std::string_view kListText = "kept unless the archive holds it";
constexpr std::string_view kEarlierArchive = "an earlier archive";

// An entry name as the file it becomes: '\' and '/' separate, empty and "." parts fall away,
// letters are compared without regard to case.
std::string Normalised(const std::string& strName) {
    std::string strOut;
    std::string strPart;
    auto flush = [&] {
        if (!strPart.empty() && strPart != ".")
            strOut += (strOut.empty() ? "" : "/") + strPart;
        strPart.clear();
    };
    for (const char ch : strName) {
        if (ch == '\\' || ch == '/')
            flush();
        else
            strPart += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    flush();
    return strOut;
}

std::string Lower(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return str;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    fuzz::FreshGameFolder();
    const std::string_view archive(reinterpret_cast<const char*>(pData), nSize);
    fuzz::WriteBytes("data.twt", archive);
    fuzz::WriteBytes("data/opponent.txt", kListText);
    fuzz::WriteBytes("car.c2c", "beside the archive");
    fuzz::fs::create_directory("data/sub");
    // Half the inputs find the archive's retirement name taken, so it is deleted instead.
    const bool bRetiredBefore = nSize % 2 == 1;
    if (bRetiredBefore)
        fuzz::WriteBytes("data.twat", kEarlierArchive);

    ArchiveDirectory directory;
    {
        CFile file("data.twt", CFile::modeRead);
        directory = ReadArchiveDirectory(file);
    }
    fuzz::Require(directory.m_aEntries.size() <= 255, "at most 255 entries");
    bool bSound = !directory.m_bDamaged && nSize >= 5;
    std::uint64_t nNext = nSize >= 5 ? 8 + 56 * static_cast<std::uint64_t>(pData[4]) : 0;
    for (const ArchiveEntry& entry : directory.m_aEntries) {
        fuzz::Require(entry.m_nOffset == nNext, "entries back to back, padded to 4");
        nNext = (entry.m_nOffset + entry.m_nSize + 3) / 4 * 4;
        if (!IsSafeEntryName(entry.m_strName) || entry.m_nOffset + entry.m_nSize > nSize)
            bSound = false;
    }
    if (!directory.m_bDamaged && nSize >= 5)
        fuzz::Require(directory.m_aEntries.size() == pData[4], "an undamaged directory is whole");

    const std::set<std::string> aBefore = fuzz::ScratchTree();
    const std::string strProblem = UnpackArchive();
    fuzz::CheckNothingEscaped();

    // The names the archive may have written, with the bytes of the first entry of each name:
    // a later one finds the name taken, as does every name that was there before.
    std::map<std::string, std::string> aWritten;
    for (const ArchiveEntry& entry : directory.m_aEntries)
        if (entry.m_nOffset + entry.m_nSize <= nSize)
            aWritten.emplace(Normalised(entry.m_strName),
                             std::string(archive.substr(entry.m_nOffset, entry.m_nSize)));

    const bool bStayed = fuzz::fs::exists("data.twt");
    fuzz::Require(bStayed == !strProblem.empty(), "the player is told exactly when it stays");
    fuzz::Require(fuzz::ReadBytes("data/opponent.txt") == kListText,
                  "a loose file is never replaced");
    for (const std::string& str : fuzz::ScratchTree()) {
        if (aBefore.contains(str) && str != "a/b/game/data.twat")
            continue;
        if (str == "a/b/game/data.twat") {
            fuzz::Require(bRetiredBefore || !bStayed, "the archive is retired only once");
            continue;
        }
        fuzz::Require(bSound, "a damaged archive writes nothing");
        fuzz::Require(!str.ends_with("/"), "unpacking makes no folders");
        const std::string strPrefix = "a/b/game/data/";
        fuzz::Require(str.starts_with(strPrefix), "unpacked files lie under data");
        const std::string strName = Lower(str.substr(strPrefix.size()));
        fuzz::Require(aWritten.contains(strName), "every unpacked file is an entry of the archive");
        fuzz::Require(fuzz::ReadBytes(str.substr(std::string("a/b/game/").size())) ==
                          aWritten[strName],
                      "an unpacked file is whole, and holds the first entry of its name");
    }
    if (bStayed) {
        fuzz::Require(fuzz::ReadBytes("data.twt") == archive, "an archive left in place is intact");
        if (bRetiredBefore)
            fuzz::Require(fuzz::ReadBytes("data.twat") == kEarlierArchive,
                          "an earlier archive stays");
    } else {
        fuzz::Require(bSound, "only a sound archive is retired");
        fuzz::Require(fuzz::ReadBytes("data.twat") == (bRetiredBefore ? kEarlierArchive : archive),
                      "a retired archive is kept as data.twat, an earlier one stays");
    }
    return 0;
}
