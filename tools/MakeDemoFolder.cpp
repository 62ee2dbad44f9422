#include "tools/DemoFolder.h"

#include <charconv>
#include <exception>
#include <iostream>
#include <string_view>

// gw_make_demo FOLDER [--big] [--cars N]: writes a synthetic game installation folder.
int main(int argc, char** argv) {
    constexpr const char* kUsage = "Usage: gw_make_demo FOLDER [--big] [--cars N]\n";
    const char* pFolder = nullptr;
    DemoFolderOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view strArg = argv[i];
        if (strArg == "--big") {
            options.m_nCars = 2000;
        } else if (strArg == "--cars" && i + 1 < argc) {
            const std::string_view strCount = argv[++i];
            const auto result = std::from_chars(strCount.data(), strCount.data() + strCount.size(),
                                                options.m_nCars);
            if (result.ec != std::errc() || result.ptr != strCount.data() + strCount.size() ||
                options.m_nCars < 1) {
                std::cerr << "gw_make_demo: --cars needs a positive number\n" << kUsage;
                return 2;
            }
        } else if (!strArg.starts_with("-") && pFolder == nullptr) {
            pFolder = argv[i];
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (pFolder == nullptr) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        WriteDemoFolder(pFolder, options);
    } catch (const std::exception& e) {
        std::cerr << "gw_make_demo: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
