#include "lists/InstallerCore.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>

// gw_load_once FOLDER: one start-up load in a game folder, its time within the process (what the
// growth is measured on, free of the process start's noise), then (natively) the peak memory.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: gw_load_once FOLDER\n";
        return 2;
    }
    try {
        std::filesystem::current_path(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "gw_load_once: " << e.what() << "\n";
        return 1;
    }
    CTestWindow window;
    CTestPictures pictures;
    pictures.m_bKeepPictures = false; // the peak memory is the installer's own
    CInstallerCore core(window, pictures);
    const auto start = std::chrono::steady_clock::now();
    core.Apply(command::Load{});
    const std::chrono::duration<double, std::milli> load = std::chrono::steady_clock::now() - start;

    std::cout << "available " << core.GetCount(CarList::Available) << ", installed "
              << core.GetCount(CarList::Installed) << ", pictures " << pictures.m_nPictures
              << ", errors " << window.m_astrErrors.size() << ", ms " << load.count() << "\n";
#if !defined(_WIN32)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cout << "peak resident memory " << usage.ru_maxrss << " KiB\n";
#endif
    if (!window.m_astrErrors.empty()) {
        std::cerr << "gw_load_once: " << window.m_astrErrors.back() << "\n";
        return 1;
    }
    return 0;
}
