// Runs the start-up load on a game folder whose opponent list and one car file are arbitrary
// bytes, then takes the first installed cars out again (exporting those no available car matches)
// and saves: the lines a window keeps by redrawing what each command says it changed must stay
// the lists, no file may land outside the game folder, and a saved list must load back to the
// same cars.

#include "fuzz/Scratch.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <algorithm>
#include <exception>

namespace {

// Both lists' lines as a window keeps them: drawn from nothing, then redrawn where a command
// changed them.
class CMirror {
public:
    void Follow(const CInstallerCore& core, const ModelChange& change) {
        Follow(core, CarList::Available, change.available);
        Follow(core, CarList::Installed, change.installed);
    }

private:
    void Follow(const CInstallerCore& core, CarList list, const LineChange& c) {
        std::vector<std::string>& astrLines = m_astrLines[list == CarList::Available ? 0 : 1];
        const int nCount = core.GetCount(list);
        fuzz::Require(nCount >= 0 && nCount <= CInstallerCore::kMaxCars, "count within bounds");
        const Selection& selection = core.GetSelection(list);
        fuzz::Require(selection.nCaret >= -1 && selection.nCaret < nCount,
                      "the caret is a line or none");
        fuzz::Require(std::is_sorted(selection.anLines.begin(), selection.anLines.end()) &&
                          std::all_of(selection.anLines.begin(), selection.anLines.end(),
                                      [nCount](int n) { return n >= 0 && n < nCount; }),
                      "the selected lines are lines, in order");
        fuzz::Require(0 <= c.nFirst && c.nFirst <= c.nOldEnd &&
                          c.nOldEnd <= static_cast<int>(astrLines.size()) &&
                          c.nFirst <= c.nNewEnd && c.nNewEnd <= nCount,
                      "the changed lines lie within the lists");
        std::vector<std::string> astrNew(astrLines.begin(), astrLines.begin() + c.nFirst);
        for (int i = c.nFirst; i < c.nNewEnd; ++i)
            astrNew.push_back(core.GetCar(list, i).m_strCarName);
        astrNew.insert(astrNew.end(), astrLines.begin() + c.nOldEnd, astrLines.end());
        astrLines = std::move(astrNew);
        fuzz::Require(astrLines == Names(core, list), "the window's lines are the list");
    }

    std::vector<std::string> m_astrLines[2];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    fuzz::FreshGameFolder();
    const auto [list, car] = fuzz::SplitInput(pData, nSize);
    fuzz::WriteBytes("data/opponent.txt", list);
    fuzz::WriteBytes("added.c2c", car);

    CTestWindow window;
    CTestPictures pictures;
    CInstallerCore core(window, pictures);
    CMirror mirror;
    const auto apply = [&](ListCommand command) {
        try {
            mirror.Follow(core, core.Apply(std::move(command)));
        } catch (const std::exception&) {
            mirror.Follow(core, {}); // a failed command leaves the lists as they were
        }
    };
    apply(command::Load{});
    const std::vector<std::string> astrLoaded = Names(core, CarList::Installed);
    const bool bLoaded = core.IsLoaded();

    // Installing the car file's car and taking installed cars out again exports those that match
    // no available car, under whatever names the input gave them; 20 are enough to keep it quick.
    if (core.GetCount(CarList::Available) > 0) {
        apply(command::Select{CarList::Available, 0});
        apply(command::Install{});
    }
    int nIndex = 0;
    for (int nTries = 0; nTries < 20 && nIndex < core.GetCount(CarList::Installed); ++nTries) {
        apply(command::Select{CarList::Installed, nIndex});
        const int nBefore = core.GetCount(CarList::Installed);
        apply(command::Uninstall{});
        if (core.GetCount(CarList::Installed) == nBefore)
            ++nIndex; // the export was refused and the car stays
    }
    fuzz::CheckNothingEscaped();

    // Saving the list as loaded must give it back.
    if (bLoaded) {
        CTestWindow saved;
        CTestPictures savedPictures;
        CInstallerCore saver(saved, savedPictures);
        saver.Apply(command::Load{});
        fuzz::Require(Names(saver, CarList::Installed) == astrLoaded,
                      "a second load reads the same list");
        fuzz::Require(saver.SaveAndClose() && saved.m_astrErrors.empty(), "Ok saves and closes");

        CTestWindow reloaded;
        CTestPictures reloadedPictures;
        CInstallerCore reader(reloaded, reloadedPictures);
        CMirror readerMirror;
        readerMirror.Follow(reader, reader.Apply(command::Load{}));
        fuzz::Require(reader.IsLoaded(), "a saved list loads whole");
        fuzz::Require(Names(reader, CarList::Installed) == astrLoaded,
                      "a saved list keeps every car");
    }
    fuzz::CheckNothingEscaped();
    return 0;
}
