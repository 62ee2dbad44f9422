#include "lists/InstallerCore.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <exception>
#include <filesystem>
#include <iostream>

// gw_load_once FOLDER: one start-up load in a game folder, then (natively) the peak memory of the
// process.
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
    core.Apply(command::Load{});

    std::cout << "available " << core.GetCount(CarList::Available) << ", installed "
              << core.GetCount(CarList::Installed) << ", pictures " << pictures.m_nPictures
              << ", errors " << window.m_astrErrors.size() << "\n";
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
