#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "platform/AsciiCase.h"

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

} // namespace

void CInstallerCore::Do(command::Install) {
    InstallAt(m_available.nSelection, GetCount(CarList::Installed));
}

void CInstallerCore::InstallAt(int nAvailable, int nPosition) {
    if (nAvailable < 0 || nAvailable >= GetCount(CarList::Available) || nPosition < 0 ||
        nPosition > GetCount(CarList::Installed))
        return;
    if (GetCount(CarList::Installed) >= kMaxCars) {
        m_window.ReportError(FullListMessage("installed"));
        return;
    }
    InsertEntry(CarList::Installed, nPosition, CopyRecord(GetCar(CarList::Available, nAvailable)));
    SelectAndShow(CarList::Installed, nPosition);
}

void CInstallerCore::Do(command::Uninstall) {
    UninstallAt(m_installed.nSelection);
}

void CInstallerCore::UninstallAt(int nInstalled) {
    if (nInstalled < 0 || nInstalled >= GetCount(CarList::Installed))
        return;
    const CarRecord& installed = GetCar(CarList::Installed, nInstalled);
    for (const CarPtr& pAvailable : m_available.apCars) {
        // Only a car file of the same text keeps this car; one whose stats differ (tuned in the
        // list by hand, say) is another car.
        if (pAvailable->m_strCarName == installed.m_strCarName &&
            pAvailable->m_strText == installed.m_strText) {
            RemoveEntry(CarList::Installed, nInstalled);
            return;
        }
    }

    // No available car holds this text: export it, so that it is not lost. The file comes first:
    // when it cannot be written nothing has changed, and the installed car stays.
    if (GetCount(CarList::Available) >= kMaxCars) {
        m_window.ReportError(FullListMessage("available"));
        return;
    }
    CarPtr pExported = CopyRecord(installed);
    WriteCarFile(*pExported);
    AddEntry(CarList::Available, std::move(pExported));
    SelectAndShow(CarList::Available, GetCount(CarList::Available) - 1);
    RemoveEntry(CarList::Installed, nInstalled);
}

void CInstallerCore::Do(command::Up) {
    const int s = m_installed.nSelection;
    if (s >= 1)
        MoveInstalledCar(s, s - 1);
}

void CInstallerCore::Do(command::Down) {
    const int s = m_installed.nSelection;
    if (s >= 0)
        MoveInstalledCar(s, s + 1);
}

void CInstallerCore::Do(command::Top) {
    MoveInstalledCar(m_installed.nSelection, 0);
}

void CInstallerCore::Do(command::Bottom) {
    MoveInstalledCar(m_installed.nSelection, GetCount(CarList::Installed) - 1);
}

void CInstallerCore::MoveInstalledCar(int nFrom, int nTo) {
    const int nCount = GetCount(CarList::Installed);
    if (nFrom < 0 || nFrom >= nCount || nTo < 0 || nTo >= nCount || nFrom == nTo)
        return;
    // The car itself moves, so it keeps its file base.
    CarPtr pCar = m_installed.apCars[static_cast<std::size_t>(nFrom)];
    RemoveEntry(CarList::Installed, nFrom);
    InsertEntry(CarList::Installed, nTo, std::move(pCar));
    SelectAndShow(CarList::Installed, nTo);
}

void CInstallerCore::Do(const command::Drop& drop) {
    if (drop.from == CarList::Installed && drop.to == CarList::Installed)
        MoveInstalledCar(drop.nItem,
                         drop.nPosition > drop.nItem ? drop.nPosition - 1 : drop.nPosition);
    else if (drop.from == CarList::Available && drop.to == CarList::Installed)
        InstallAt(drop.nItem, drop.nPosition);
    else if (drop.from == CarList::Installed && drop.to == CarList::Available)
        UninstallAt(drop.nItem);
}

void CInstallerCore::Do(const command::Select& select) {
    SelectAndShow(select.list, select.nIndex);
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
            SelectAndShow(typed.list, static_cast<int>(i));
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
    m_installed.nSelection = -1; // its lines all went
    // Only a whole kept list is offered, so the installed list is whole now and Ok may write it,
    // after a load that found the list missing or damaged too (undo takes that back).
    m_bLoaded = true;
}
