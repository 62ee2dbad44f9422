#pragma once

// Writing, reading and listing the files of a test's folder, for the tests and the fuzz harnesses
// alike (so nothing here reports through a test framework).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace support {

// Writes the bytes as they are, making the folders on the way. A test that cannot even lay out
// its files must not go on to check anything, so a failure throws.
inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good())
        throw std::runtime_error("cannot write the test file " + path.string());
}

// The file's bytes. A file that cannot be read throws, so that a check against "" still sees a
// file that is missing.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read the test file " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Takes away every write permission, or gives the owner's back; on Windows this is the
// read-only attribute.
inline void SetReadOnly(const std::filesystem::path& path, bool bReadOnly) {
    using std::filesystem::perms;
    if (bReadOnly)
        std::filesystem::permissions(path,
                                     perms::owner_write | perms::group_write | perms::others_write,
                                     std::filesystem::perm_options::remove);
    else
        std::filesystem::permissions(path, perms::owner_write, std::filesystem::perm_options::add);
}

// The names directly in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder = ".") {
    std::vector<std::string> astrNames;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        astrNames.push_back(entry.path().filename().string());
    std::sort(astrNames.begin(), astrNames.end());
    return astrNames;
}

// Everything under a folder, relative to it and sorted, for "nothing was written" checks.
inline std::vector<std::string> ListFolder(const std::filesystem::path& folder) {
    std::vector<std::string> astrNames;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        astrNames.push_back(std::filesystem::relative(entry.path(), folder).generic_string());
    std::sort(astrNames.begin(), astrNames.end());
    return astrNames;
}

// A snapshot of the current folder, to show that an action changed exactly what it should: every
// file and folder below it, relative path -> bytes ("" and a trailing '/' for folders).
using Tree = std::map<std::string, std::string>;

inline Tree FolderTree() {
    Tree tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
        const std::string strPath = entry.path().lexically_relative(".").generic_string();
        if (entry.is_directory())
            tree[strPath + "/"] = "";
        else
            tree[strPath] = ReadBytes(entry.path());
    }
    return tree;
}

// Empties the current folder.
inline void ClearFolder() {
    for (const auto& entry : std::filesystem::directory_iterator("."))
        std::filesystem::remove_all(entry.path());
}

inline Tree With(Tree tree, const std::string& strPath, const std::string& strBytes) {
    tree[strPath] = strBytes;
    return tree;
}

inline Tree Without(Tree tree, const std::string& strPath) {
    tree.erase(strPath);
    return tree;
}

} // namespace support
