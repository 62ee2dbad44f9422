#include "platform/PathResolver.h"

#include "platform/AsciiCase.h"
#include "platform/SystemFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

// The names of one folder: each as it is, and by its folded form the first of its case variants
// in byte order.
struct FolderListing {
    std::unordered_set<std::string> setNames;
    std::unordered_map<std::string, std::string> mapFolded;
};
std::unordered_map<std::string, FolderListing> s_mapListings; // kept only inside a scope

// False when strFolder cannot be read.
bool ReadListing(const std::string& strFolder, FolderListing& listing) {
    const CDirHandle pDir(opendir(strFolder.c_str()));
    if (!pDir)
        return false;
    while (const dirent* pEntry = readdir(pDir.get())) {
        const std::string strEntry = pEntry->d_name;
        listing.setNames.insert(strEntry);
        auto [it, bNew] = listing.mapFolded.try_emplace(AsciiLower(strEntry), strEntry);
        if (!bNew && strEntry < it->second)
            it->second = strEntry;
    }
    return true;
}

// The name in strFolder that the component strName stands for, or none.
std::optional<std::string> FindEntry(const std::string& strFolder, const std::string& strName) {
    const FolderListing* pListing = nullptr;
    if (SystemFile::InListingScope()) {
        if (const auto it = s_mapListings.find(strFolder); it != s_mapListings.end())
            pListing = &it->second;
        else if (FolderListing listing; ReadListing(strFolder, listing))
            pListing = &s_mapListings.emplace(strFolder, std::move(listing)).first->second;
    }
    FolderListing once;
    if (!pListing) {
        // An exact match wins, so when it exists no listing is needed; this keeps opening many
        // files in a large folder from reading the whole folder each time.
        struct stat st {};
        const std::string strFull = strFolder == "." ? strName : strFolder + "/" + strName;
        if (lstat(strFull.c_str(), &st) == 0)
            return strName;
        if (!ReadListing(strFolder, once))
            return std::nullopt; // unreadable: only the exact spelling could have been tried
        pListing = &once;
    }
    if (pListing->setNames.contains(strName))
        return strName;
    const auto it = pListing->mapFolded.find(AsciiLower(strName));
    return it == pListing->mapFolded.end() ? std::nullopt : std::optional(it->second);
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
            const std::optional<std::string> entry =
                FindEntry(strResult.empty() ? "." : strResult, strName);
            bFound = entry.has_value();
            strReal = entry.value_or(strName);
        }
        if (!strResult.empty() && strResult.back() != '/')
            strResult += '/';
        strResult += strReal;
    }
    return {strResult, bFound && !strResult.empty()};
}
