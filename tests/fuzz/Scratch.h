#pragma once

// A scratch game folder for harnesses that need a real current directory. It is made once per
// process and emptied between inputs; the game folder sits three levels below the scratch root so
// that a path escaping it by ".." still lands inside the root, where it is seen.

#include "support/Files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzz {

namespace fs = std::filesystem;

// The scratch root, holding only "a/b/game" and the untouchable "a/b/outside.txt".
inline const fs::path& ScratchRoot() {
    static const fs::path root = [] {
        // /dev/shm keeps the flushes of the writers cheap; /tmp serves where it is missing.
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        // libFuzzer may end the process without running exit handlers, so each run also clears
        // away the folders of runs whose process is gone; the name carries the process id.
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(base, error)) {
            const std::string strName = entry.path().filename().string();
            if (!strName.starts_with("gwfuzz-"))
                continue;
            const std::string strPid = strName.substr(7, strName.find('-', 7) - 7);
            if (!strPid.empty() && !fs::exists("/proc/" + strPid))
                fs::remove_all(entry.path(), error);
        }
        std::string strTemplate =
            (base / ("gwfuzz-" + std::to_string(getpid()) + "-XXXXXX")).string();
        if (mkdtemp(strTemplate.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        const fs::path path = strTemplate;
        std::atexit([] { fs::remove_all(ScratchRoot()); });
        return path;
    }();
    return root;
}

inline constexpr std::string_view kOutsideText = "outside the game folder";

using support::ReadBytes;
using support::WriteBytes;

// Empties the scratch root, lays out a fresh game folder with an empty "data" and makes it the
// current directory.
inline void FreshGameFolder() {
    const fs::path& root = ScratchRoot();
    if (chdir(root.c_str()) != 0)
        std::abort();
    for (const auto& entry : fs::directory_iterator(root))
        fs::remove_all(entry.path());
    fs::create_directories(root / "a" / "b" / "game" / "data");
    WriteBytes(root / "a" / "b" / "outside.txt", kOutsideText);
    if (chdir((root / "a" / "b" / "game").c_str()) != 0)
        std::abort();
}

// Every path below the scratch root, relative to it; directories end with '/'.
inline std::set<std::string> ScratchTree() {
    std::set<std::string> aPaths;
    const fs::path& root = ScratchRoot();
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string str = entry.path().lexically_relative(root).generic_string();
        if (entry.is_directory() && !entry.is_symlink())
            str += '/';
        aPaths.insert(str);
    }
    return aPaths;
}

// Aborts (a finding for the fuzzer) unless the only things outside the game folder are the ones
// FreshGameFolder made, untouched.
inline void CheckNothingEscaped() {
    for (const std::string& str : ScratchTree()) {
        if (str == "a/" || str == "a/b/" || str == "a/b/outside.txt" ||
            str.starts_with("a/b/game/"))
            continue;
        std::fprintf(stderr, "written outside the game folder: %s\n", str.c_str());
        std::abort();
    }
    if (ReadBytes(ScratchRoot() / "a" / "b" / "outside.txt") != kOutsideText) {
        std::fprintf(stderr, "a file outside the game folder changed\n");
        std::abort();
    }
}

// Every path below the scratch root but the game folder, with the bytes of its files: whatever a
// run must leave as it was.
inline std::map<std::string, std::string> OutsideGameFolder() {
    std::map<std::string, std::string> aFiles;
    for (const auto& entry : fs::recursive_directory_iterator(ScratchRoot())) {
        const std::string str = entry.path().lexically_relative(ScratchRoot()).generic_string();
        if (!str.starts_with("a/b/game"))
            aFiles[str] = entry.is_directory() ? "/" : ReadBytes(entry.path());
    }
    return aFiles;
}

inline void Require(bool bCondition, const char* pszWhat) {
    if (!bCondition) {
        std::fprintf(stderr, "broken: %s\n", pszWhat);
        std::abort();
    }
}

// Splits an input in two: the first two bytes (little-endian) give the length of the first part.
inline std::pair<std::string_view, std::string_view> SplitInput(const std::uint8_t* pData,
                                                                std::size_t nSize) {
    const std::string_view all(reinterpret_cast<const char*>(pData), nSize);
    if (all.size() < 2)
        return {all, {}};
    const std::size_t nFirst =
        std::min<std::size_t>(static_cast<std::uint8_t>(all[0]) |
                                  static_cast<std::size_t>(static_cast<std::uint8_t>(all[1])) << 8,
                              all.size() - 2);
    return {all.substr(2, nFirst), all.substr(2 + nFirst)};
}

} // namespace fuzz
