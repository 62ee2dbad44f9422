#include "app/RestoreDlg.h"

#include <algorithm>

const CRestoreDlg::Row CRestoreDlg::s_aMessageMap[] = {
    Row::Command(LBN_SELCHANGE, IDC_KEPT_LISTS, CallRow<&CRestoreDlg::ShowSelected>),
    Row::Command(LBN_DBLCLK, IDC_KEPT_LISTS, CallRow<&CRestoreDlg::OnRestore>),
    Row::Command(BN_CLICKED, IDOK, CallRow<&CRestoreDlg::OnRestore>),
};

CRestoreDlg::CRestoreDlg(const CWnd* pParent, const std::vector<RestorableList>& aLists,
                         std::vector<std::string> astrInstalled)
    : CMapDialog(s_aMessageMap, IDD, pParent), m_aLists(aLists),
      m_astrInstalled(std::move(astrInstalled)) {}

BOOL CRestoreDlg::OnInitDialog() {
    for (const RestorableList& list : m_aLists)
        ::SendDlgItemMessageA(m_hWnd, IDC_KEPT_LISTS, LB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(list.strLabel.c_str()));
    if (m_aLists.empty()) {
        ::SetDlgItemTextA(m_hWnd, IDC_KEPT_DIFFERENCE,
                          "There is nothing to restore: no opponent list has been kept yet.");
        ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
        ::SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
        ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
        return FALSE; // the focus is set
    }
    // The newest list that can be restored, so that Enter restores it at once.
    const auto itFirst = std::find_if(m_aLists.begin(), m_aLists.end(),
                                      [](const RestorableList& list) { return list.bWhole; });
    const auto nFirst = itFirst == m_aLists.end() ? 0 : itFirst - m_aLists.begin();
    ::SendDlgItemMessageA(m_hWnd, IDC_KEPT_LISTS, LB_SETCURSEL, static_cast<WPARAM>(nFirst), 0);
    ShowSelected();
    return TRUE; // the focus goes to the kept lists
}

int CRestoreDlg::Selected() const {
    const auto nSel =
        static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_KEPT_LISTS, LB_GETCURSEL, 0, 0));
    return nSel >= 0 && nSel < static_cast<int>(m_aLists.size()) ? nSel : -1;
}

void CRestoreDlg::ShowSelected() {
    const int nSel = Selected();
    if (nSel < 0)
        return;
    const RestorableList& list = m_aLists[static_cast<std::size_t>(nSel)];
    const HWND hCars = ::GetDlgItem(m_hWnd, IDC_KEPT_CARS);
    ::SendMessageA(hCars, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(hCars, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> astrNames;
    for (const auto& pRecord : list.apRecords) {
        ::SendMessageA(hCars, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(pRecord->m_strCarName.c_str()));
        astrNames.push_back(pRecord->m_strCarName);
    }
    ::SendMessageA(hCars, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hCars, nullptr, TRUE);

    const std::string strLine =
        list.bWhole ? DescribeDifference(CompareCarLists(m_astrInstalled, astrNames))
                    : "This copy is damaged: it could not be read whole, so it cannot be restored.";
    ::SetDlgItemTextA(m_hWnd, IDC_KEPT_DIFFERENCE, strLine.c_str());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), list.bWhole ? TRUE : FALSE);
}

void CRestoreDlg::OnRestore() {
    // Enter reaches here even while Restore is disabled.
    const int nSel = Selected();
    if (nSel < 0 || !m_aLists[static_cast<std::size_t>(nSel)].bWhole)
        return;
    m_nChosen = nSel;
    EndDialog(IDOK);
}
