#include "lists/InstallerCore.h"
#include "lists/ResourceIds.h"
#include "opponents/OpponentWriter.h"

#include <cctype>
#include <utility>

namespace {

int ListId(bool bAvailable) {
    return bAvailable ? IDC_AVAILABLE : IDC_INSTALLED;
}

// The destination of a move gets its own record; the file base names files of the original car
// only, so the copy leaves it empty.
std::unique_ptr<CarRecord> CopyRecord(const CarRecord& source) {
    auto pCopy = std::make_unique<CarRecord>();
    pCopy->m_nImage = source.m_nImage;
    pCopy->m_strCarName = source.m_strCarName;
    pCopy->m_strInfo = source.m_strInfo;
    pCopy->m_strText = source.m_strText;
    return pCopy;
}

bool BeginsWith(const std::string& strName, const std::string& strPrefix) {
    if (strName.size() < strPrefix.size())
        return false;
    for (std::size_t i = 0; i < strPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(strName[i])) !=
            std::tolower(static_cast<unsigned char>(strPrefix[i])))
            return false;
    }
    return true;
}

std::string FullListMessage(const char* szList) {
    return std::string("The ") + szList + " list is full: it holds at most " +
           std::to_string(CInstallerCore::kMaxCars) + " cars. Nothing was changed.";
}

} // namespace

bool CInstallerCore::AddEntry(std::unique_ptr<CarRecord> pRecord, bool bAvailable) {
    return InsertEntry(bAvailable ? m_nAvailable : m_nInstalled, std::move(pRecord), bAvailable);
}

bool CInstallerCore::InsertEntry(int nIndex, std::unique_ptr<CarRecord> pRecord, bool bAvailable) {
    int& nCount = bAvailable ? m_nAvailable : m_nInstalled;
    if (nCount >= kMaxCars || nIndex < 0 || nIndex > nCount)
        return false;
    if (m_pOpenStep)
        m_pOpenStep->aChanges.push_back({bAvailable, nIndex, true, false, *pRecord});
    auto& apList = bAvailable ? m_apAvailable : m_apInstalled;
    for (int i = nCount; i > nIndex; --i)
        apList[i] = std::move(apList[i - 1]);
    apList[nIndex] = std::move(pRecord);
    ++nCount;
    const std::string& strName = apList[nIndex]->m_strCarName;
    if (nIndex == nCount - 1)
        m_window.AddString(ListId(bAvailable), strName);
    else
        m_window.InsertString(ListId(bAvailable), nIndex, strName);
    return true;
}

std::unique_ptr<CarRecord> CInstallerCore::TakeEntry(int nIndex, bool bAvailable) {
    int& nCount = bAvailable ? m_nAvailable : m_nInstalled;
    if (nIndex < 0 || nIndex >= nCount)
        return nullptr;
    auto& apList = bAvailable ? m_apAvailable : m_apInstalled;
    std::unique_ptr<CarRecord> pRecord = std::move(apList[nIndex]);
    if (m_pOpenStep)
        m_pOpenStep->aChanges.push_back({bAvailable, nIndex, false, false, *pRecord});
    for (int i = nIndex; i < nCount - 1; ++i)
        apList[i] = std::move(apList[i + 1]);
    --nCount;
    m_window.DeleteString(ListId(bAvailable), nIndex);
    return pRecord;
}

void CInstallerCore::RemoveEntry(int nIndex, bool bAvailable) {
    TakeEntry(nIndex, bAvailable);
}

void CInstallerCore::MoveInstalled(int nFrom, int nTo) {
    if (nFrom == nTo || nTo < 0 || nTo >= m_nInstalled)
        return;
    if (std::unique_ptr<CarRecord> pRecord = TakeEntry(nFrom, false))
        InsertEntry(nTo, std::move(pRecord), false);
}

void CInstallerCore::ClearLists() {
    while (m_nAvailable > 0)
        RemoveEntry(0, true);
    while (m_nInstalled > 0)
        RemoveEntry(0, false);
}

void CInstallerCore::OnInstall() {
    InstallAt(m_window.GetCurSel(IDC_AVAILABLE), m_nInstalled);
}

void CInstallerCore::InstallAt(int nAvailable, int nPosition) {
    if (nAvailable < 0 || nAvailable >= m_nAvailable || nPosition < 0 || nPosition > m_nInstalled)
        return;
    if (m_nInstalled >= kMaxCars) {
        m_window.ReportError(FullListMessage("installed"));
        return;
    }
    const CStep step(*this);
    InsertEntry(nPosition, CopyRecord(*m_apAvailable[nAvailable]), false);
    m_window.SetCurSel(IDC_INSTALLED, nPosition);
    ShowInstalled();
}

void CInstallerCore::OnUninstall() {
    UninstallAt(m_window.GetCurSel(IDC_INSTALLED));
}

void CInstallerCore::UninstallAt(int s) {
    if (s < 0 || s >= m_nInstalled)
        return;
    const CStep step(*this);
    const CarRecord& installed = *m_apInstalled[s];
    for (int i = 0; i < m_nAvailable; ++i) {
        // Only a car file of the same text keeps this car; one whose stats differ (tuned in the
        // list by hand, say) is another car.
        if (m_apAvailable[i]->m_strCarName == installed.m_strCarName &&
            m_apAvailable[i]->m_strText == installed.m_strText) {
            RemoveEntry(s, false);
            return;
        }
    }

    // No available car holds this text: export it, so that it is not lost.
    if (m_nAvailable >= kMaxCars) {
        m_window.ReportError(FullListMessage("available"));
        return;
    }
    AddEntry(CopyRecord(installed), true);
    m_window.SetCurSel(IDC_AVAILABLE, m_nAvailable - 1);
    ShowAvailable();
    // When the file cannot be written the step takes the new entry back: no phantom is listed,
    // and the installed car stays, so nothing is lost.
    WriteCarFile(*m_apAvailable[m_nAvailable - 1]);
    KeepLastChange();
    RemoveEntry(s, false);
}

void CInstallerCore::OnUp() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 1 || s >= m_nInstalled)
        return;
    const CStep step(*this);
    MoveInstalled(s, s - 1);
    m_window.SetCurSel(IDC_INSTALLED, s - 1);
    ShowInstalled();
}

void CInstallerCore::OnDown() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 0 || s >= m_nInstalled - 1)
        return;
    const CStep step(*this);
    MoveInstalled(s + 1, s); // the car below moves up, as the list box lines do
    m_window.SetCurSel(IDC_INSTALLED, s + 1);
    ShowInstalled();
}

void CInstallerCore::OnTop() {
    MoveInstalledCar(m_window.GetCurSel(IDC_INSTALLED), 0);
}

void CInstallerCore::OnBottom() {
    MoveInstalledCar(m_window.GetCurSel(IDC_INSTALLED), m_nInstalled - 1);
}

void CInstallerCore::MoveInstalledCar(int nFrom, int nTo) {
    if (nFrom < 0 || nFrom >= m_nInstalled || nTo < 0 || nTo >= m_nInstalled || nFrom == nTo)
        return;
    const CStep step(*this);
    MoveInstalled(nFrom, nTo); // the car itself moves, so it keeps its file base
    m_window.SetCurSel(IDC_INSTALLED, nTo);
    ShowInstalled();
}

void CInstallerCore::OnDrop(int nFromList, int nItem, int nToList, int nPosition) {
    if (nFromList == IDC_INSTALLED && nToList == IDC_INSTALLED)
        MoveInstalledCar(nItem, nPosition > nItem ? nPosition - 1 : nPosition);
    else if (nFromList == IDC_AVAILABLE && nToList == IDC_INSTALLED)
        InstallAt(nItem, nPosition);
    else if (nFromList == IDC_INSTALLED && nToList == IDC_AVAILABLE)
        UninstallAt(nItem);
}

void CInstallerCore::OnTypeAhead(bool bAvailable, char c, std::uint32_t nTimeMs) {
    TypeAhead& typed = bAvailable ? m_typeAheadAvailable : m_typeAheadInstalled;
    if (nTimeMs - typed.nLastMs >= kTypeAheadPauseMs)
        typed.strTyped.clear();
    typed.nLastMs = nTimeMs;
    typed.strTyped += c;

    const auto& apList = bAvailable ? m_apAvailable : m_apInstalled;
    const int nCount = bAvailable ? m_nAvailable : m_nInstalled;
    for (int i = 0; i < nCount; ++i) {
        if (BeginsWith(apList[i]->m_strCarName, typed.strTyped)) {
            m_window.SetCurSel(ListId(bAvailable), i);
            bAvailable ? ShowAvailable() : ShowInstalled();
            return;
        }
    }
}

void CInstallerCore::ShowInstalled() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 0 || s >= m_nInstalled)
        return;
    m_window.SetInfoText(IDC_INSTALLED_INFO, m_apInstalled[s]->m_strInfo);
    m_window.SetImage(IDC_INSTALLED_PICTURE, m_apInstalled[s]->m_nImage);
}

void CInstallerCore::ShowAvailable() {
    const int s = m_window.GetCurSel(IDC_AVAILABLE);
    if (s < 0 || s >= m_nAvailable)
        return;
    m_window.SetInfoText(IDC_AVAILABLE_INFO, m_apAvailable[s]->m_strInfo);
    m_window.SetImage(IDC_AVAILABLE_PICTURE, m_apAvailable[s]->m_nImage);
}
