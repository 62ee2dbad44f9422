#include "bench/CountingWindow.h"
#include "lists/InstallerCore.h"

#include <sys/resource.h>

#include <exception>
#include <filesystem>
#include <iostream>

// gw_load_once FOLDER: one start-up load in a game folder, then the peak memory of the process.
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
    CCountingWindow window;
    CInstallerCore core(window);
    core.InitPictures();
    core.Run([&core] { core.LoadAll(); });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cout << "available " << window.m_nAvailable << ", installed " << window.m_nInstalled
              << ", pictures " << window.m_nPictures << ", errors " << window.m_nErrors << "\n"
              << "peak resident memory " << usage.ru_maxrss << " KiB\n";
    if (window.m_nErrors != 0) {
        std::cerr << "gw_load_once: " << window.m_strLastError << "\n";
        return 1;
    }
    return 0;
}
