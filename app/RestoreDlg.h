#pragma once

#include "lists/KeptLists.h"
#include "lists/ResourceIds.h"
#include "platform/win32/Dialog.h"

#include <string>
#include <vector>

// Restore Opponent List: shows the kept lists, the cars of the selected one and how it differs
// from the installed list; Restore ends it with IDOK and the chosen list's index.
class CRestoreDlg : public CDialog {
public:
    static constexpr int IDD = IDD_RESTORE;

    CRestoreDlg(const CWnd* pParent, const std::vector<RestorableList>& aLists,
                std::vector<std::string> astrInstalled)
        : CDialog(IDD, pParent), m_aLists(aLists), m_astrInstalled(std::move(astrInstalled)) {}

    int m_nChosen = -1; // the list to restore, once the dialog ended with IDOK

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    void OnOK() override;

private:
    void ShowSelected();
    int Selected() const;

    const std::vector<RestorableList>& m_aLists;
    std::vector<std::string> m_astrInstalled;
};
