#pragma once

// Snapshots of the current folder, to show that an action changed exactly what it should.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace hardening {

// Every file and folder below the current one: relative path -> bytes ("" and a trailing '/' for
// folders).
using Tree = std::map<std::string, std::string>;

inline Tree FolderTree() {
    Tree tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
        const std::string strPath = entry.path().lexically_relative(".").generic_string();
        if (entry.is_directory()) {
            tree[strPath + "/"] = "";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            tree[strPath] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        }
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

} // namespace hardening
