#include "lists/InstallerCore.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"
#include "tools/DemoFolder.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The start-up load against reading the bytes of the files it reads once, in the state of every
// run after the first: the game archive unpacked and retired, the backup taken. Files are in the
// page cache for both, so the ratio is the cost of the load's own work.

constexpr int kSmall = 0; // the hand-sized demo folder
constexpr std::array<int, 4> kGrowth{250, 500, 1000, 2000};

struct DemoFolder {
    fs::path path;
    int nAvailable = 0;
    int nInstalled = 0;
    std::vector<fs::path> aFiles; // every file the load reads
};

std::map<int, DemoFolder> g_mapFolders;

std::string Lower(std::string str) {
    for (char& c : str)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return str;
}

// Car files, the opponent list and all the pictures; every picture belongs to some car.
std::vector<fs::path> FilesRead(const fs::path& folder) {
    std::vector<fs::path> aFiles;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && Lower(entry.path().extension().string()) == ".c2c")
            aFiles.push_back(entry.path());
    for (const fs::directory_entry& entry : fs::directory_iterator(folder / "data"))
        if (Lower(entry.path().filename().string()) == "opponent.txt")
            aFiles.push_back(entry.path());
    for (const fs::directory_entry& entry :
         fs::recursive_directory_iterator(folder / "data" / "intrface" / "carimage"))
        if (entry.is_regular_file())
            aFiles.push_back(entry.path());
    return aFiles;
}

DemoFolder Prepare(const fs::path& root, int nCars) {
    DemoFolder folder;
    folder.path = root / (nCars == kSmall ? std::string("small") : std::to_string(nCars));
    WriteDemoFolder(folder.path, {.m_nCars = nCars});
    fs::current_path(folder.path);
    CTestWindow window;
    CTestPictures pictures;
    pictures.m_bKeepPictures = false;
    CInstallerCore core(window, pictures);
    core.Apply(command::Load{}); // unpacks the archive and takes the backup
    if (!window.m_astrErrors.empty())
        throw std::runtime_error("The first load in " + folder.path.string() +
                                 " failed: " + window.m_astrErrors.back());
    folder.nAvailable = core.GetCount(CarList::Available);
    folder.nInstalled = core.GetCount(CarList::Installed);
    folder.aFiles = FilesRead(folder.path);
    return folder;
}

void LoadAll(benchmark::State& state, int nCars) {
    const DemoFolder& folder = g_mapFolders.at(nCars);
    fs::current_path(folder.path);
    for (auto _ : state) {
        state.PauseTiming();
        CTestWindow window;
        CTestPictures pictures;
        pictures.m_bKeepPictures = false;
        auto pCore = std::make_unique<CInstallerCore>(window, pictures);
        state.ResumeTiming();
        pCore->Apply(command::Load{});
        state.PauseTiming();
        if (!window.m_astrErrors.empty() ||
            pCore->GetCount(CarList::Available) != folder.nAvailable ||
            pCore->GetCount(CarList::Installed) != folder.nInstalled) {
            state.ResumeTiming();
            state.SkipWithError("the load did not give the lists of the first run");
            break;
        }
        pCore.reset(); // freeing the records is not part of the load
        state.ResumeTiming();
    }
    state.counters["cars"] = folder.nAvailable + folder.nInstalled;
}

void ReadOnce(benchmark::State& state, int nCars) {
    const DemoFolder& folder = g_mapFolders.at(nCars);
    std::vector<char> aBuffer(1 << 16);
    std::size_t nBytes = 0;
    for (auto _ : state) {
        for (const fs::path& path : folder.aFiles) {
            std::FILE* pFile = std::fopen(path.c_str(), "rb");
            if (pFile == nullptr) {
                state.SkipWithError("a file of the folder cannot be opened");
                return;
            }
            for (std::size_t n; (n = std::fread(aBuffer.data(), 1, aBuffer.size(), pFile)) > 0;)
                nBytes += n;
            std::fclose(pFile);
            benchmark::DoNotOptimize(aBuffer.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(nBytes));
    state.counters["files"] = static_cast<double>(folder.aFiles.size());
}

std::string Label(int nCars) {
    return nCars == kSmall ? std::string("small") : "cars:" + std::to_string(nCars);
}

// Shows the usual table and keeps each benchmark's time for the summary.
class CSummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& aRuns) override {
        ConsoleReporter::ReportRuns(aRuns);
        for (const Run& run : aRuns)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_mapTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
    }

    void PrintSummary() const {
        std::printf("\nLoadAll against reading its files once (ms):\n");
        for (const int nCars : {kSmall, 250, 500, 1000, 2000}) {
            const double dLoad = Time("LoadAll/" + Label(nCars));
            const double dRead = Time("ReadOnce/" + Label(nCars));
            if (dLoad > 0 && dRead > 0)
                std::printf("  %-10s LoadAll %9.3f  read once %9.3f  ratio %6.2f\n",
                            Label(nCars).c_str(), dLoad, dRead, dLoad / dRead);
        }
        std::printf("Growth (cars: car files and as many opponents, each with its own picture):\n");
        const double dFirst = Time("LoadAll/" + Label(kGrowth.front()));
        for (const int nCars : kGrowth) {
            const double dLoad = Time("LoadAll/" + Label(nCars));
            if (dLoad > 0 && dFirst > 0)
                std::printf("  %-10s %9.3f ms  %7.2f us a car  x%.2f of %d\n", Label(nCars).c_str(),
                            dLoad, 1000.0 * dLoad / (2.0 * nCars), dLoad / dFirst, kGrowth.front());
        }
        std::fflush(stdout);
    }

private:
    double Time(const std::string& strName) const {
        const auto it = m_mapTimes.find(strName);
        return it == m_mapTimes.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> m_mapTimes;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    std::random_device device;
    const fs::path root = fs::temp_directory_path() / ("gw-bench-" + std::to_string(device()));
    const fs::path start = fs::current_path();
    int nResult = 0;
    try {
        std::cerr << "Writing the demo folders in " << root << "...\n";
        for (const int nCars : {kSmall, 250, 500, 1000, 2000})
            g_mapFolders[nCars] = Prepare(root, nCars);
        for (const int nCars : {kSmall, 250, 500, 1000, 2000}) {
            benchmark::RegisterBenchmark(("LoadAll/" + Label(nCars)).c_str(), LoadAll, nCars)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("ReadOnce/" + Label(nCars)).c_str(), ReadOnce, nCars)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        CSummaryReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.PrintSummary();
    } catch (const std::exception& e) {
        std::cerr << "gw_load_all_bench: " << e.what() << "\n";
        nResult = 1;
    }
    fs::current_path(start);
    fs::remove_all(root);
    benchmark::Shutdown();
    return nResult;
}
