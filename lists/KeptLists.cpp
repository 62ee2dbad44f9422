#include "lists/KeptLists.h"

#include "gamedata/GameData.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

constexpr const char* kBackupPattern = "data\\backups\\opponent-*.txt";
constexpr const char* kBackupFolder = "data\\backups\\";
constexpr const char* kBackupPrefix = "opponent-";

bool AllDigits(const std::string& str) {
    return !str.empty() && std::all_of(str.begin(), str.end(),
                                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "opponent-YYYYMMDD-HHMMSS.txt", "-N" before ".txt" for the N-th taken in the same second.
// Gives the date and time as people write them, or the name itself when it is not one of these.
struct CopyName {
    std::string strFile;
    std::string strStamp; // YYYYMMDD-HHMMSS, empty when the name is not a kept copy's
    int nNumber = 1;
    std::string strLabel;
};

CopyName ParseCopyName(const std::string& strName) {
    CopyName name{strName, {}, 1, strName};
    const std::size_t nPrefix = std::char_traits<char>::length(kBackupPrefix);
    const std::size_t nDot = strName.rfind('.');
    if (nDot == std::string::npos || nDot < nPrefix)
        return name;
    const std::string strStem = strName.substr(nPrefix, nDot - nPrefix);
    const std::string strDate = strStem.substr(0, 8);
    const std::string strTime = strStem.size() >= 15 ? strStem.substr(9, 6) : "";
    if (!AllDigits(strDate) || !AllDigits(strTime) || strStem[8] != '-')
        return name;
    if (strStem.size() > 15) {
        const std::string strNumber = strStem.substr(16);
        if (strStem[15] != '-' || !AllDigits(strNumber) || strNumber.size() > 4)
            return name;
        name.nNumber = std::stoi(strNumber);
    }
    name.strStamp = strStem.substr(0, 15);
    name.strLabel = strDate.substr(0, 4) + "-" + strDate.substr(4, 2) + "-" + strDate.substr(6) +
                    " " + strTime.substr(0, 2) + ":" + strTime.substr(2, 2) + ":" +
                    strTime.substr(4);
    if (name.nNumber > 1)
        name.strLabel += " (" + std::to_string(name.nNumber) + ")";
    return name;
}

// STAND-IN until the listing of kept copies lands in gamedata: their file names, newest first.
std::vector<CopyName> ListKeptCopies() {
    std::vector<CopyName> aNames;
    CFileFind finder;
    for (bool bMore = finder.FindFile(kBackupPattern); bMore; bMore = finder.FindNextFile())
        if (!finder.IsDirectory())
            aNames.push_back(ParseCopyName(finder.GetFileName()));
    std::stable_sort(aNames.begin(), aNames.end(), [](const CopyName& a, const CopyName& b) {
        return a.strStamp != b.strStamp ? a.strStamp > b.strStamp : a.nNumber > b.nNumber;
    });
    return aNames;
}

// STAND-IN until the reader of whole opponent lists lands in opponents: reads the records and
// tells whether the list's count line matches them.
bool ReadListWhole(const std::string& strPath, const PictureSource& pictureSource,
                   std::vector<std::unique_ptr<CarRecord>>& apRecords) {
    CFile file(strPath, CFile::kBinaryRead);
    std::string strCount;
    try {
        while ((strCount = ReadLine(file)).empty()) {
        }
    } catch (const CFileException& e) {
        if (!e.IsEndOfInput())
            throw;
        return false;
    }
    while (std::unique_ptr<CarRecord> pRecord = ParseRecord(file, pictureSource))
        apRecords.push_back(std::move(pRecord));
    try {
        return std::stoi(strCount) == static_cast<int>(apRecords.size());
    } catch (const std::exception&) {
        return false;
    }
}

KeptList ReadKeptList(const std::string& strPath, const std::string& strName,
                      const PictureSource& pictureSource) {
    KeptList list;
    try {
        list.bWhole = ReadListWhole(strPath, pictureSource, list.apRecords);
    } catch (const CFileException&) {
        list.bWhole = false;
    }
    const std::size_t nCount = list.apRecords.size();
    list.strLabel = strName + " - " + std::to_string(nCount) +
                    (nCount == 1 ? " opponent" : " opponents") + (list.bWhole ? "" : " (damaged)");
    return list;
}

} // namespace

std::vector<KeptList> ReadKeptLists(const PictureSource& pictureSource) {
    std::vector<KeptList> aLists;
    for (const CopyName& name : ListKeptCopies())
        aLists.push_back(ReadKeptList(kBackupFolder + name.strFile, name.strLabel, pictureSource));
    if (CFile::Exists(kOpponentListBackup))
        aLists.push_back(ReadKeptList(kOpponentListBackup, "Before Gridwright", pictureSource));
    return aLists;
}

ListDifference CompareCarLists(const std::vector<std::string>& astrInstalled,
                               const std::vector<std::string>& astrOther) {
    std::map<std::string, int> mapInstalled, mapOther;
    for (const std::string& str : astrInstalled)
        ++mapInstalled[str];
    for (const std::string& str : astrOther)
        ++mapOther[str];

    ListDifference difference;
    std::map<std::string, int> mapPaired;
    for (const auto& [strName, nCount] : mapOther) {
        const int nInstalled = mapInstalled.count(strName) ? mapInstalled[strName] : 0;
        difference.nMore += std::max(0, nCount - nInstalled);
        mapPaired[strName] = std::min(nCount, nInstalled);
    }
    for (const auto& [strName, nCount] : mapInstalled)
        difference.nLess += std::max(0, nCount - (mapOther.count(strName) ? mapOther[strName] : 0));

    // The paired cars in each list's order: the first ones of each name, as many as are paired.
    const auto paired = [&mapPaired](const std::vector<std::string>& astrList) {
        std::map<std::string, int> mapSeen;
        std::vector<const std::string*> apPaired;
        for (const std::string& str : astrList) {
            const auto it = mapPaired.find(str);
            if (it != mapPaired.end() && mapSeen[str]++ < it->second)
                apPaired.push_back(&str);
        }
        return apPaired;
    };
    const std::vector<const std::string*> apA = paired(astrInstalled);
    const std::vector<const std::string*> apB = paired(astrOther);

    // The cars that keep their order are a longest common subsequence; the others must move.
    std::vector<int> anRow(apB.size() + 1, 0), anPrevious(apB.size() + 1, 0);
    for (std::size_t i = 1; i <= apA.size(); ++i) {
        std::swap(anRow, anPrevious);
        for (std::size_t j = 1; j <= apB.size(); ++j)
            anRow[j] = *apA[i - 1] == *apB[j - 1] ? anPrevious[j - 1] + 1
                                                  : std::max(anPrevious[j], anRow[j - 1]);
    }
    difference.nMoved = static_cast<int>(apA.size()) - anRow[apB.size()];
    return difference;
}

std::string DescribeDifference(const ListDifference& difference) {
    std::string strText;
    const auto part = [&strText](int nCount, const char* pszWhat) {
        if (nCount == 0)
            return;
        strText += strText.empty()
                       ? std::to_string(nCount) + (nCount == 1 ? " car " : " cars ") + pszWhat
                       : ", " + std::to_string(nCount) + " " + pszWhat;
    };
    part(difference.nMore, "more");
    part(difference.nLess, "less");
    part(difference.nMoved, "in another place");
    return strText.empty() ? "The same cars in the same order as the installed list" : strText;
}
