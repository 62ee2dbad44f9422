#pragma once

#include "platform/win32/Wnd.h"

#include <windows.h>

#include <string>

// The one application object. Its constructor registers it; WinMain (in WinApp.cpp) runs its
// InitInstance. A dialog application returns FALSE there, so there is no message loop of our own.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;

    static CWinApp* GetApp() { return s_pApp; }

    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;   // the executable's base name, e.g. "gridwright"
    CWnd* m_pMainWnd = nullptr; // not owned

private:
    static CWinApp* s_pApp;
};

// The application's instance, or the executable's when no application object runs (in tests).
HINSTANCE AppInstance();

// An icon of the application's resources at the size of the two system metrics, shared with
// the system (not to be destroyed): the exact size from the icon's images is crisper than a
// scaled default one.
HICON LoadAppIcon(int nId, int nMetricX, int nMetricY);

// The executable's file name without folder and extension.
std::string ExecutableBaseName();

// The framework's standard report of an error: a stop-icon box with the text, titled with the
// application's name.
void ShowErrorMessage(HWND hOwner, const std::string& strText);
// A question-icon box with Yes and No, titled likewise; true for Yes. bDefaultNo makes No the
// button Enter presses.
bool AskYesNoQuestion(HWND hOwner, const std::string& strText, bool bDefaultNo = false);
