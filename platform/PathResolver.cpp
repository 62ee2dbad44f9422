#include "platform/PathResolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <optional>

namespace {

// The name in strFolder that the component strName stands for, or none.
std::optional<std::string> FindEntry(const std::string& strFolder, const std::string& strName) {
    // An exact match wins, so when it exists no listing is needed; this keeps opening many files
    // in a large folder from reading the whole folder each time.
    struct stat st {};
    const std::string strFull = strFolder == "." ? strName : strFolder + "/" + strName;
    if (lstat(strFull.c_str(), &st) == 0)
        return strName;
    DIR* pDir = opendir(strFolder.c_str());
    if (pDir == nullptr)
        return std::nullopt; // unreadable: only the exact spelling could have been tried

    std::optional<std::string> best;
    while (const dirent* pEntry = readdir(pDir)) {
        const std::string strEntry = pEntry->d_name;
        if (EqualNoCase(strEntry, strName) && (!best || strEntry < *best))
            best = strEntry;
    }
    closedir(pDir);
    return best;
}

} // namespace

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& strA, const std::string& strB) {
    if (strA.size() != strB.size())
        return false;
    for (std::size_t i = 0; i < strA.size(); ++i)
        if (FoldCase(strA[i]) != FoldCase(strB[i]))
            return false;
    return true;
}

ResolvedPath ResolvePath(const std::string& strPath) {
    const bool bAbsolute = !strPath.empty() && (strPath[0] == '/' || strPath[0] == '\\');
    std::string strResult = bAbsolute ? "/" : "";
    bool bFound = true;
    std::size_t nStart = 0;
    while (nStart <= strPath.size()) {
        std::size_t nEnd = strPath.find_first_of("\\/", nStart);
        if (nEnd == std::string::npos)
            nEnd = strPath.size();
        const std::string strName = strPath.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (strName.empty())
            continue; // doubled or trailing separator
        std::string strReal = strName;
        if (bFound) {
            const std::string strFolder = strResult.empty() ? "." : strResult;
            const std::optional<std::string> entry = FindEntry(strFolder, strName);
            bFound = entry.has_value();
            if (bFound)
                strReal = *entry;
        }
        if (!strResult.empty() && strResult.back() != '/')
            strResult += '/';
        strResult += strReal;
    }
    return {strResult, bFound && !strResult.empty()};
}
