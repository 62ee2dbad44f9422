#pragma once

#include "platform/win32/Dialog.h"

// The About box, opened from the system menu.
class CAboutDlg : public CDialog {
public:
    static constexpr int IDD = 100;
    explicit CAboutDlg(const CWnd* pParent) : CDialog(IDD, pParent) {}
};
