// Runs the start-up load on a game folder whose opponent list and one car file are arbitrary
// bytes, then takes the first installed cars out again (exporting those no available car matches)
// and saves: the lists must match their list boxes, no file may land outside the game folder, and
// a saved list must load back to the same cars.

#include "fuzz/Scratch.h"
#include "lists/InstallerCore.h"
#include "support/MemoryWindow.h"

namespace {

void CheckLists(const CInstallerCore& core, const CMemoryWindow& window) {
    for (const auto& [nListId, nCount, pEntries] :
         {std::tuple{IDC_INSTALLED, core.m_nInstalled, &core.m_apInstalled},
          std::tuple{IDC_AVAILABLE, core.m_nAvailable, &core.m_apAvailable}}) {
        fuzz::Require(nCount >= 0 && nCount <= CInstallerCore::kMaxCars, "count within bounds");
        fuzz::Require(window.GetCount(nListId) == nCount, "a list box line for every entry");
        for (int i = 0; i < nCount; ++i) {
            const auto& pRecord = (*pEntries)[static_cast<std::size_t>(i)];
            fuzz::Require(pRecord != nullptr, "an entry for every count");
            fuzz::Require(window.GetText(nListId, i) == pRecord->m_strCarName,
                          "the line is the car's name");
        }
        for (int i = nCount; i < CInstallerCore::kMaxCars; ++i)
            fuzz::Require((*pEntries)[static_cast<std::size_t>(i)] == nullptr,
                          "nothing past the count");
    }
}

std::vector<std::string> InstalledNames(const CInstallerCore& core) {
    std::vector<std::string> astr;
    for (int i = 0; i < core.m_nInstalled; ++i)
        astr.push_back(core.m_apInstalled[static_cast<std::size_t>(i)]->m_strCarName);
    return astr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    fuzz::FreshGameFolder();
    const auto [list, car] = fuzz::SplitInput(pData, nSize);
    fuzz::WriteBytes("data/opponent.txt", list);
    fuzz::WriteBytes("added.c2c", car);

    CMemoryWindow window;
    CInstallerCore core(window);
    core.InitPictures();
    core.Run([&] { core.OnShowWindow(true); });
    CheckLists(core, window);
    const std::vector<std::string> astrLoaded = InstalledNames(core);
    const bool bLoaded = core.m_bLoaded;

    // Installing the car file's car and taking installed cars out again exports those that match
    // no available car, under whatever names the input gave them; 20 are enough to keep it quick.
    if (core.m_nAvailable > 0) {
        window.SetCurSel(IDC_AVAILABLE, 0);
        core.Run([&] { core.OnInstall(); });
    }
    int nIndex = 0;
    for (int nTries = 0; nTries < 20 && nIndex < core.m_nInstalled; ++nTries) {
        window.SetCurSel(IDC_INSTALLED, nIndex);
        const int nBefore = core.m_nInstalled;
        core.Run([&] { core.OnUninstall(); });
        CheckLists(core, window);
        if (core.m_nInstalled == nBefore)
            ++nIndex; // the export was refused and the car stays
    }
    fuzz::CheckNothingEscaped();

    // Saving the list as loaded must give it back.
    if (bLoaded) {
        CMemoryWindow saved;
        CInstallerCore saver(saved);
        saver.InitPictures();
        saver.Run([&] { saver.OnShowWindow(true); });
        fuzz::Require(InstalledNames(saver) == astrLoaded, "a second load reads the same list");
        saver.Run([&] { saver.SaveAndClose(); });
        fuzz::Require(saved.m_aEndResults.size() == 1 && saved.m_aErrors.empty(),
                      "Ok saves and closes");

        CMemoryWindow reloaded;
        CInstallerCore reader(reloaded);
        reader.InitPictures();
        reader.Run([&] { reader.OnShowWindow(true); });
        fuzz::Require(reader.m_bLoaded, "a saved list loads whole");
        fuzz::Require(InstalledNames(reader) == astrLoaded, "a saved list keeps every car");
        CheckLists(reader, reloaded);
    }
    fuzz::CheckNothingEscaped();
    return 0;
}
