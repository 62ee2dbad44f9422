#include "lists/InstallerCore.h"
#include "lists/Thousands.h"
#include "opponents/OpponentWriter.h"
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

// The destination of a move gets its own record; the file base names files of the original car
// only, so the copy leaves it empty.
CarPtr CopyRecord(const CarRecord& source) {
    auto pCopy = std::make_shared<CarRecord>();
    pCopy->m_nImage = source.m_nImage;
    pCopy->m_strCarName = source.m_strCarName;
    pCopy->m_strInfo = source.m_strInfo;
    pCopy->m_strText = source.m_strText;
    return pCopy;
}

bool BeginsWith(const std::string& strName, const std::string& strPrefix) {
    return strName.size() >= strPrefix.size() &&
           EqualNoCase(std::string_view(strName).substr(0, strPrefix.size()), strPrefix);
}

std::string FullListMessage(const char* szList) {
    return std::string("The ") + szList + " list is full: it holds at most " +
           std::to_string(CInstallerCore::kMaxCars) + " cars. Nothing was changed.";
}

// What the Undo item calls a command on these cars: "Install Blazer", "Install 12 Cars".
std::string StepName(const char* szVerb, const std::vector<CarPtr>& apCars) {
    return std::string(szVerb) + " " +
           (apCars.size() == 1 ? apCars[0]->m_strCarName : WithThousands(apCars.size()) + " Cars");
}

} // namespace

std::vector<int> CInstallerCore::LinesWith(CarList list, int nItem) const {
    const std::vector<int>& anSelected = State(list).selection.anLines;
    if (nItem < 0 || nItem >= GetCount(list))
        return {};
    if (std::binary_search(anSelected.begin(), anSelected.end(), nItem))
        return anSelected;
    return {nItem};
}

void CInstallerCore::Do(command::Install) {
    InstallLines(std::vector<int>(m_available.selection.anLines), GetCount(CarList::Installed));
}

void CInstallerCore::InstallLines(const std::vector<int>& anLines, int nPosition) {
    if (anLines.empty() || nPosition < 0 || nPosition > GetCount(CarList::Installed))
        return;
    if (GetCount(CarList::Installed) + static_cast<int>(anLines.size()) > kMaxCars) {
        m_window.ReportError(FullListMessage("installed"));
        return;
    }
    std::vector<CarPtr> apInstalled;
    Selection installed{{}, nPosition};
    for (const int nLine : anLines) {
        apInstalled.push_back(CopyRecord(GetCar(CarList::Available, nLine)));
        installed.anLines.push_back(nPosition + static_cast<int>(installed.anLines.size()));
    }
    std::vector<CarPtr>& apCars = m_installed.apCars;
    apCars.insert(apCars.begin() + nPosition, apInstalled.begin(), apInstalled.end());
    SelectAndShow(CarList::Installed, std::move(installed));
    m_strStepName = StepName("Install", apInstalled);
}

void CInstallerCore::Do(command::Uninstall) {
    UninstallLines(std::vector<int>(m_installed.selection.anLines)); // a copy: the lines go
}

void CInstallerCore::UninstallLines(const std::vector<int>& anLines) {
    if (anLines.empty())
        return;
    // Only a car file of the same text keeps a car; one whose stats differ (tuned in the list by
    // hand, say) is another car. The others are exported first, so that none is lost: when one
    // cannot be written nothing has changed, and every car stays installed.
    std::vector<CarPtr> apLeaving;
    std::vector<CarPtr> apExports;
    for (const int nLine : anLines) {
        const CarPtr& pCar = m_installed.apCars[static_cast<std::size_t>(nLine)];
        apLeaving.push_back(pCar);
        const auto keeps = [&](const CarPtr& pKept) {
            return pKept->m_strCarName == pCar->m_strCarName && pKept->m_strText == pCar->m_strText;
        };
        if (std::none_of(m_available.apCars.begin(), m_available.apCars.end(), keeps) &&
            std::none_of(apExports.begin(), apExports.end(), keeps))
            apExports.push_back(CopyRecord(*pCar));
    }
    if (GetCount(CarList::Available) + static_cast<int>(apExports.size()) > kMaxCars) {
        m_window.ReportError(FullListMessage("available"));
        return;
    }
    std::vector<std::string> astrWritten;
    for (const CarPtr& pExport : apExports) {
        try {
            astrWritten.push_back(WriteCarFile(*pExport));
        } catch (const CFileException& e) {
            if (apLeaving.size() == 1)
                throw;
            // The command is taken back whole: the files this one wrote go too, best effort (a
            // car file left over loses nothing).
            for (const std::string& strFile : astrWritten) {
                try {
                    CFile::Remove(strFile);
                } catch (const CFileException&) {
                }
            }
            throw CFileException(e.m_cause, e.m_lOsError, e.m_strFileName,
                                 "export the car \"" + pExport->m_strCarName + "\" to {}",
                                 e.GetReason() + ". No car was uninstalled");
        }
    }

    for (auto it = anLines.rbegin(); it != anLines.rend(); ++it)
        RemoveEntry(CarList::Installed, *it);
    SelectAndShow(CarList::Installed, Selection(m_installed.selection)); // a caret that went moves
    if (!apExports.empty()) {
        Selection exported{{}, GetCount(CarList::Available)};
        for (CarPtr& pExport : apExports) {
            exported.anLines.push_back(GetCount(CarList::Available));
            m_available.apCars.push_back(std::move(pExport));
        }
        SelectAndShow(CarList::Available, std::move(exported));
    }
    m_strStepName = StepName("Uninstall", apLeaving);
}

void CInstallerCore::SplitSelected(std::vector<CarPtr>& apSelected,
                                   std::vector<CarPtr>& apOthers) const {
    const std::vector<int>& anLines = m_installed.selection.anLines;
    for (int i = 0; i < GetCount(CarList::Installed); ++i)
        (std::binary_search(anLines.begin(), anLines.end(), i) ? apSelected : apOthers)
            .push_back(m_installed.apCars[static_cast<std::size_t>(i)]);
}

void CInstallerCore::Reorder(std::vector<CarPtr> apCars, const char* szVerb) {
    // The cars themselves move, so they keep their file bases.
    const std::vector<CarPtr> apOld = std::exchange(m_installed.apCars, std::move(apCars));
    Selection moved;
    std::vector<CarPtr> apMoved;
    std::unordered_set<const CarRecord*> selected;
    for (const int nLine : m_installed.selection.anLines) {
        apMoved.push_back(apOld[static_cast<std::size_t>(nLine)]);
        selected.insert(apMoved.back().get());
    }
    const CarPtr pCaret = m_installed.selection.nCaret >= 0
                              ? apOld[static_cast<std::size_t>(m_installed.selection.nCaret)]
                              : nullptr;
    for (int i = 0; i < GetCount(CarList::Installed); ++i) {
        const CarPtr& pCar = m_installed.apCars[static_cast<std::size_t>(i)];
        if (selected.contains(pCar.get()))
            moved.anLines.push_back(i);
        if (pCar == pCaret)
            moved.nCaret = i;
    }
    SelectAndShow(CarList::Installed, std::move(moved));
    if (!apMoved.empty())
        m_strStepName = StepName(szVerb, apMoved);
}

void CInstallerCore::Do(command::Up) {
    // Each selected car takes the place of an unselected one above it: a block at the top stays,
    // and the gaps between the selected cars stay as they were.
    std::vector<CarPtr> apCars = m_installed.apCars;
    std::vector<bool> abSelected(apCars.size());
    for (const int nLine : m_installed.selection.anLines)
        abSelected[static_cast<std::size_t>(nLine)] = true;
    for (std::size_t i = 1; i < apCars.size(); ++i) {
        if (abSelected[i] && !abSelected[i - 1]) {
            std::swap(apCars[i], apCars[i - 1]);
            abSelected[i - 1] = true;
            abSelected[i] = false;
        }
    }
    Reorder(std::move(apCars), "Move Up");
}

void CInstallerCore::Do(command::Down) {
    std::vector<CarPtr> apCars = m_installed.apCars;
    std::vector<bool> abSelected(apCars.size());
    for (const int nLine : m_installed.selection.anLines)
        abSelected[static_cast<std::size_t>(nLine)] = true;
    for (std::size_t i = apCars.size(); i-- > 1;) {
        if (abSelected[i - 1] && !abSelected[i]) {
            std::swap(apCars[i], apCars[i - 1]);
            abSelected[i] = true;
            abSelected[i - 1] = false;
        }
    }
    Reorder(std::move(apCars), "Move Down");
}

void CInstallerCore::Do(command::Top) {
    std::vector<CarPtr> apSelected, apOthers;
    SplitSelected(apSelected, apOthers);
    apSelected.insert(apSelected.end(), apOthers.begin(), apOthers.end());
    Reorder(std::move(apSelected), "Move to Top");
}

void CInstallerCore::Do(command::Bottom) {
    std::vector<CarPtr> apSelected, apOthers;
    SplitSelected(apSelected, apOthers);
    apOthers.insert(apOthers.end(), apSelected.begin(), apSelected.end());
    Reorder(std::move(apOthers), "Move to Bottom");
}

void CInstallerCore::Do(const command::Drop& drop) {
    const std::vector<int> anLines = LinesWith(drop.from, drop.nItem);
    if (anLines.empty())
        return;
    const bool bInPlace =
        drop.from == drop.to && (drop.from == CarList::Available || drop.nPosition == drop.nItem ||
                                 drop.nPosition == drop.nItem + 1);
    if (bInPlace) {
        SelectOnly(drop.from, drop.nItem);
    } else if (drop.from == CarList::Installed && drop.to == CarList::Installed) {
        if (drop.nPosition < 0 || drop.nPosition > GetCount(CarList::Installed))
            return;
        SelectAndShow(CarList::Installed, {anLines, drop.nItem});
        // The dragged cars go, in their order, where the mark was among the others.
        std::vector<CarPtr> apSelected, apOthers;
        SplitSelected(apSelected, apOthers);
        const auto nBefore = std::count_if(anLines.begin(), anLines.end(),
                                           [&](int nLine) { return nLine < drop.nPosition; });
        apOthers.insert(apOthers.begin() + (drop.nPosition - nBefore), apSelected.begin(),
                        apSelected.end());
        Reorder(std::move(apOthers), "Move");
    } else if (drop.from == CarList::Available && drop.to == CarList::Installed) {
        InstallLines(anLines, drop.nPosition);
    } else if (drop.from == CarList::Installed && drop.to == CarList::Available) {
        UninstallLines(anLines);
    }
}

void CInstallerCore::Do(const command::Select& select) {
    SelectOnly(select.list, select.nIndex);
}

void CInstallerCore::Do(command::SelectLines& select) {
    SelectAndShow(select.list, std::move(select.selection));
}

void CInstallerCore::Do(const command::SelectAll& select) {
    const int nCount = GetCount(select.list);
    const int nCaret = State(select.list).selection.nCaret;
    Selection all{{}, nCaret >= 0 ? nCaret : (nCount > 0 ? 0 : -1)};
    for (int i = 0; i < nCount; ++i)
        all.anLines.push_back(i);
    SelectAndShow(select.list, std::move(all));
}

void CInstallerCore::Do(const command::TypeAhead& typed) {
    TypedSoFar& soFar = typed.list == CarList::Available ? m_typedAvailable : m_typedInstalled;
    if (typed.nTimeMs - soFar.nLastMs >= command::TypeAhead::kTypeAheadPauseMs)
        soFar.strTyped.clear();
    soFar.nLastMs = typed.nTimeMs;
    soFar.strTyped += typed.c;

    const std::vector<CarPtr>& apCars = State(typed.list).apCars;
    for (std::size_t i = 0; i < apCars.size(); ++i) {
        if (BeginsWith(apCars[i]->m_strCarName, soFar.strTyped)) {
            SelectOnly(typed.list, static_cast<int>(i));
            return;
        }
    }
}

void CInstallerCore::Do(command::Restore& restore) {
    if (restore.apRecords.size() > static_cast<std::size_t>(kMaxCars)) {
        m_window.ReportError("That list holds more than " + std::to_string(kMaxCars) +
                             " opponents, more than the installed list can hold. Nothing was "
                             "changed.");
        return;
    }
    std::vector<CarPtr> apCars;
    for (std::unique_ptr<CarRecord>& pRecord : restore.apRecords)
        apCars.push_back(std::move(pRecord));
    m_installed.apCars = std::move(apCars);
    SelectAndShow(CarList::Installed, {}); // its lines all went
    // Only a whole kept list is offered, so the installed list is whole now and Ok may write it,
    // after a load that found the list missing or damaged too (undo takes that back).
    m_bLoaded = true;
    m_strStepName = "Restore Opponent List";
}
