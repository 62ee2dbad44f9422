#include "lists/InstallerCore.h"
#include "lists/ResourceIds.h"
#include "opponents/OpponentWriter.h"

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

std::string FullListMessage(const char* szList) {
    return std::string("The ") + szList + " list is full: it holds at most " +
           std::to_string(CInstallerCore::kMaxCars) + " cars. Nothing was changed.";
}

} // namespace

bool CInstallerCore::AddEntry(std::unique_ptr<CarRecord> pRecord, bool bAvailable) {
    int& nCount = bAvailable ? m_nAvailable : m_nInstalled;
    if (nCount >= kMaxCars)
        return false;
    const std::string strName = pRecord->m_strCarName;
    (bAvailable ? m_apAvailable : m_apInstalled)[nCount] = std::move(pRecord);
    ++nCount;
    m_window.AddString(ListId(bAvailable), strName);
    return true;
}

void CInstallerCore::RemoveEntry(int nIndex, bool bAvailable) {
    int& nCount = bAvailable ? m_nAvailable : m_nInstalled;
    if (nIndex < 0 || nIndex >= nCount)
        return;
    auto& apList = bAvailable ? m_apAvailable : m_apInstalled;
    for (int i = nIndex; i < nCount - 1; ++i)
        apList[i] = std::move(apList[i + 1]);
    apList[nCount - 1].reset();
    --nCount;
    m_window.DeleteString(ListId(bAvailable), nIndex);
}

void CInstallerCore::ClearLists() {
    while (m_nAvailable > 0)
        RemoveEntry(0, true);
    while (m_nInstalled > 0)
        RemoveEntry(0, false);
}

void CInstallerCore::OnInstall() {
    const int s = m_window.GetCurSel(IDC_AVAILABLE);
    if (s < 0 || s >= m_nAvailable)
        return;
    if (m_nInstalled >= kMaxCars) {
        m_window.ReportError(FullListMessage("installed"));
        return;
    }
    AddEntry(CopyRecord(*m_apAvailable[s]), false);
    m_window.SetCurSel(IDC_INSTALLED, m_nInstalled - 1);
    ShowInstalled();
}

void CInstallerCore::OnUninstall() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 0 || s >= m_nInstalled)
        return;
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
    try {
        WriteCarFile(*m_apAvailable[m_nAvailable - 1]);
    } catch (...) {
        // No file stands behind the new entry; the installed car stays, so nothing is lost.
        RemoveEntry(m_nAvailable - 1, true);
        throw;
    }
    RemoveEntry(s, false);
}

void CInstallerCore::OnUp() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 1 || s >= m_nInstalled)
        return;
    std::swap(m_apInstalled[s], m_apInstalled[s - 1]);
    m_window.DeleteString(IDC_INSTALLED, s);
    m_window.InsertString(IDC_INSTALLED, s - 1, m_apInstalled[s - 1]->m_strCarName);
    m_window.SetCurSel(IDC_INSTALLED, s - 1);
    ShowInstalled();
}

void CInstallerCore::OnDown() {
    const int s = m_window.GetCurSel(IDC_INSTALLED);
    if (s < 0 || s >= m_nInstalled - 1)
        return;
    std::swap(m_apInstalled[s], m_apInstalled[s + 1]);
    m_window.DeleteString(IDC_INSTALLED, s + 1);
    m_window.InsertString(IDC_INSTALLED, s, m_apInstalled[s]->m_strCarName);
    m_window.SetCurSel(IDC_INSTALLED, s + 1);
    ShowInstalled();
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
