#include "lists/KeptLists.h"

#include "gamedata/GameData.h"
#include "gamedata/KeptLists.h"
#include "opponents/OpponentListReader.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

// "2026-12-08 07:15:02", with " (2)" for the second copy kept in the same second.
std::string CopyLabel(const KeptList& copy) {
    char szLabel[32];
    std::snprintf(szLabel, sizeof szLabel, "%04d-%02d-%02d %02d:%02d:%02d", copy.m_time.m_nYear,
                  copy.m_time.m_nMonth, copy.m_time.m_nDay, copy.m_time.m_nHour,
                  copy.m_time.m_nMinute, copy.m_time.m_nSecond);
    std::string strLabel = szLabel;
    if (copy.m_nSequence > 1)
        strLabel += " (" + std::to_string(copy.m_nSequence) + ")";
    return strLabel;
}

RestorableList ReadRestorableList(const std::string& strPath, const std::string& strName,
                                  const PictureSource& pictureSource) {
    RestorableList list;
    try {
        if (CFile(strPath, CFile::modeRead).GetLength() > kMaxOpponentListBytes) {
            list.strLabel = strName + " - too large to be an opponent list (damaged)";
            return list;
        }
        const std::string strBytes = ReadWholeFile(strPath, kMaxOpponentListBytes);
        OpponentList opponents = ParseOpponentList(strBytes);
        for (const std::unique_ptr<CarRecord>& pRecord : opponents.apRecords)
            pRecord->m_nImage = pictureSource(pRecord->m_strFileBase);
        list.apRecords = std::move(opponents.apRecords);
        list.bWhole = opponents.bWhole;
    } catch (const CFileException&) {
        list.bWhole = false;
    }
    const std::size_t nCount = list.apRecords.size();
    list.strLabel = strName + " - " + std::to_string(nCount) +
                    (nCount == 1 ? " opponent" : " opponents") + (list.bWhole ? "" : " (damaged)");
    return list;
}

} // namespace

std::vector<RestorableList> ReadKeptLists(const PictureSource& pictureSource) {
    std::vector<RestorableList> aLists;
    // Only the copies a save keeps: the folder may hold thousands more, which cost a read each.
    std::vector<KeptList> aKept = ListKeptLists();
    aKept.resize(std::min(aKept.size(), kKeptListsKept));
    for (const KeptList& copy : aKept)
        aLists.push_back(ReadRestorableList(copy.m_strPath, CopyLabel(copy), pictureSource));
    if (CFile::Exists(kOpponentListBackup))
        aLists.push_back(
            ReadRestorableList(kOpponentListBackup, "Before Gridwright", pictureSource));
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
