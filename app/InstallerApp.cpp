#include "app/InstallerApp.h"

#include "app/InstallerDlg.h"

#include <commctrl.h>

CInstallerApp theApp;

BOOL CInstallerApp::InitInstance() {
    // With the manifest's common controls this gives the controls the system's current look.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    CInstallerDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
