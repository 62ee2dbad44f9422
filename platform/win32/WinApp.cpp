#include "platform/win32/WinApp.h"

#include <exception>

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp() : m_strAppName(ExecutableBaseName()) {
    s_pApp = this;
}

CWinApp::~CWinApp() {
    if (s_pApp == this)
        s_pApp = nullptr;
}

std::string ExecutableBaseName() {
    char szPath[MAX_PATH] = {};
    const DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strName(szPath, nLength);
    const std::size_t nSlash = strName.find_last_of("\\/:");
    if (nSlash != std::string::npos)
        strName.erase(0, nSlash + 1);
    const std::size_t nDot = strName.rfind('.');
    if (nDot != std::string::npos && nDot > 0)
        strName.erase(nDot);
    return strName;
}

namespace {

std::string MessageTitle() {
    const CWinApp* pApp = CWinApp::GetApp();
    return pApp != nullptr ? pApp->m_strAppName : ExecutableBaseName();
}

} // namespace

void ShowErrorMessage(HWND hOwner, const std::string& strText) {
    ::MessageBoxA(hOwner, strText.c_str(), MessageTitle().c_str(), MB_OK | MB_ICONSTOP);
}

bool AskYesNoQuestion(HWND hOwner, const std::string& strText, bool bDefaultNo) {
    return ::MessageBoxA(hOwner, strText.c_str(), MessageTitle().c_str(),
                         MB_YESNO | MB_ICONQUESTION | (bDefaultNo ? MB_DEFBUTTON2 : 0)) == IDYES;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* pApp = CWinApp::GetApp();
    if (pApp == nullptr)
        return 1;
    pApp->m_hInstance = hInstance;
    try {
        // A dialog application does its whole work in InitInstance and returns FALSE; there is
        // no message loop to run after it.
        pApp->InitInstance();
        return 0;
    } catch (const std::exception& e) {
        ShowErrorMessage(nullptr, e.what());
    } catch (...) {
        ShowErrorMessage(nullptr, "An unexpected error stopped Gridwright. Start it again.");
    }
    pApp->m_pMainWnd = nullptr; // the dialog it named is gone
    return 1;
}

HINSTANCE AppInstance() {
    const CWinApp* pApp = CWinApp::GetApp();
    return pApp != nullptr && pApp->m_hInstance != nullptr ? pApp->m_hInstance
                                                           : ::GetModuleHandleA(nullptr);
}

HICON LoadAppIcon(int nId, int nMetricX, int nMetricY) {
    return static_cast<HICON>(::LoadImageA(AppInstance(), MAKEINTRESOURCEA(nId), IMAGE_ICON,
                                           ::GetSystemMetrics(nMetricX),
                                           ::GetSystemMetrics(nMetricY), LR_SHARED));
}
