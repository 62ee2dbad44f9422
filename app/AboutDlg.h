#pragma once

#include "app/ResourceIds.h"
#include "platform/win32/Dialog.h"

// The About box, opened from the system menu.
class CAboutDlg : public CDialog {
public:
    static constexpr int IDD = IDD_ABOUTBOX;
    explicit CAboutDlg(const CWnd* pParent) : CDialog(IDD, pParent) {}
};
