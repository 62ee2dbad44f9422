#include "platform/PathResolver.h"

#include "platform/AsciiCase.h"
#include "platform/SystemFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

// The names of one folder, kept only inside a scope: each as it is, and by its folded form the
// first of its case variants in byte order.
struct FolderListing {
    std::unordered_set<std::string> setNames;
    std::unordered_map<std::string, std::string> mapFolded;
};
std::unordered_map<std::string, FolderListing> s_mapListings;

// Lists strFolder once for the scope; none when it cannot be read.
const FolderListing* ListingOf(const std::string& strFolder) {
    if (const auto it = s_mapListings.find(strFolder); it != s_mapListings.end())
        return &it->second;
    FolderListing listing;
    {
        const CDirHandle pDir(opendir(strFolder.c_str()));
        if (!pDir)
            return nullptr;
        while (const dirent* pEntry = readdir(pDir.Get())) {
            const std::string strEntry = pEntry->d_name;
            listing.setNames.insert(strEntry);
            auto [it, bNew] = listing.mapFolded.try_emplace(AsciiLower(strEntry), strEntry);
            if (!bNew && strEntry < it->second)
                it->second = strEntry;
        }
    }
    return &s_mapListings.emplace(strFolder, std::move(listing)).first->second;
}

// The name in strFolder that the component strName stands for, or none.
std::optional<std::string> FindEntry(const std::string& strFolder, const std::string& strName) {
    if (SystemFile::InListingScope()) {
        if (const FolderListing* pListing = ListingOf(strFolder)) {
            if (pListing->setNames.contains(strName))
                return strName; // an exact match wins
            const auto it = pListing->mapFolded.find(AsciiLower(strName));
            return it == pListing->mapFolded.end() ? std::nullopt
                                                   : std::optional<std::string>(it->second);
        }
    }
    // An exact match wins, so when it exists no listing is needed; this keeps opening many files
    // in a large folder from reading the whole folder each time.
    struct stat st {};
    const std::string strFull = strFolder == "." ? strName : strFolder + "/" + strName;
    if (lstat(strFull.c_str(), &st) == 0)
        return strName;
    const CDirHandle pDir(opendir(strFolder.c_str()));
    if (!pDir)
        return std::nullopt; // unreadable: only the exact spelling could have been tried

    std::optional<std::string> best;
    while (const dirent* pEntry = readdir(pDir.Get())) {
        const std::string strEntry = pEntry->d_name;
        if (EqualNoCase(strEntry, strName) && (!best || strEntry < *best))
            best = strEntry;
    }
    return best;
}

} // namespace

void SystemFile::ForgetFolderListings() {
    s_mapListings.clear();
}

ResolvedPath ResolvePath(const std::string& strPath) {
    // When the path exists as spelt, every component is an exact match, and exact matches win.
    // Inside a scope the kept listings tell that without asking the system.
    std::string strSpelt = strPath;
    std::replace(strSpelt.begin(), strSpelt.end(), '\\', '/');
    if (struct stat st{};
        !SystemFile::InListingScope() && !strSpelt.empty() && lstat(strSpelt.c_str(), &st) == 0)
        return {strSpelt, true};

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
