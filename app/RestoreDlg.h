#pragma once

#include "app/ResourceIds.h"
#include "lists/KeptLists.h"
#include "platform/win32/Dialog.h"

#include <string>
#include <vector>

// Restore Opponent List: shows the kept lists, the cars of the selected one and how it differs
// from the installed list; Restore ends it with IDOK and the chosen list's index.
class CRestoreDlg : public CMapDialog<CRestoreDlg> {
public:
    static constexpr int IDD = IDD_RESTORE;

    CRestoreDlg(const CWnd* pParent, const std::vector<RestorableList>& aLists,
                std::vector<std::string> astrInstalled);

    int m_nChosen = -1; // the list to restore, once the dialog ended with IDOK

private:
    static const Row s_aMessageMap[];

    BOOL OnInitDialog() override;
    void OnRestore();
    void ShowSelected();
    int Selected() const;

    const std::vector<RestorableList>& m_aLists;
    std::vector<std::string> m_astrInstalled;
};
