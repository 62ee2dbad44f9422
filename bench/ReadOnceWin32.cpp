#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Totals {
    unsigned long long nFiles = 0;
    unsigned long long nBytes = 0;
};

// Every file under strFolder, read once from start to end through the system's own calls: the
// least a program must ask of the system to have seen all the bytes.
bool ReadFolder(const std::string& strFolder, std::vector<char>& aBuffer, Totals& totals) {
    WIN32_FIND_DATAA data;
    const HANDLE hFind = ::FindFirstFileA((strFolder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    bool bOk = true;
    do {
        const std::string strName = data.cFileName;
        if (strName == "." || strName == "..")
            continue;
        const std::string strPath = strFolder + "\\" + strName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            bOk = ReadFolder(strPath, aBuffer, totals) && bOk;
            continue;
        }
        const HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "gw_read_once: cannot open %s\n", strPath.c_str());
            bOk = false;
            continue;
        }
        DWORD nRead = 0;
        while (::ReadFile(hFile, aBuffer.data(), static_cast<DWORD>(aBuffer.size()), &nRead,
                          nullptr) &&
               nRead > 0)
            totals.nBytes += nRead;
        ::CloseHandle(hFile);
        ++totals.nFiles;
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return bOk;
}

} // namespace

// gw_read_once FOLDER: reads every file of a game folder once, the floor the start-up load is
// measured against. Prints the reading's own milliseconds too, for floors that add it to another
// process's time rather than to its own start.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: gw_read_once FOLDER\n");
        return 2;
    }
    std::vector<char> aBuffer(64 * 1024);
    Totals totals;
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    LARGE_INTEGER end{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const bool bOk = ReadFolder(argv[1], aBuffer, totals);
    ::QueryPerformanceCounter(&end);
    std::printf("files %llu, bytes %llu, ms %.1f\n", totals.nFiles, totals.nBytes,
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(frequency.QuadPart));
    return bOk ? 0 : 1;
}
