#include "app/ProgressWindow.h"

#include <commctrl.h>

namespace {

constexpr int kClientWidth = 340;
constexpr int kClientHeight = 82;
constexpr int kMargin = 14;
constexpr int kTextHeight = 18;
constexpr int kBarHeight = 18;
constexpr char kCaption[] = "Gridwright";

LRESULT CALLBACK ProgressProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_CLOSE)
        return 0; // the load goes on; the window ends with it
    return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

void RegisterOnce(HINSTANCE hInstance, HICON hIcon, HICON hSmallIcon) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExA(hInstance, CProgressWindow::kClassName, &windowClass))
        return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ProgressProc;
    windowClass.hInstance = hInstance;
    windowClass.hIcon = hIcon;
    windowClass.hIconSm = hSmallIcon;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_WAIT);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = CProgressWindow::kClassName;
    ::RegisterClassExA(&windowClass);
}

} // namespace

CProgressWindow::CProgressWindow(HWND hPlace, HICON hIcon, HICON hSmallIcon) {
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    RegisterOnce(hInstance, hIcon, hSmallIcon);

    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_APPWINDOW);
    const int nWidth = frame.right - frame.left;
    const int nHeight = frame.bottom - frame.top;
    RECT place{};
    if (hPlace == nullptr || !::GetWindowRect(hPlace, &place))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &place, 0);
    const int x = place.left + (place.right - place.left - nWidth) / 2;
    const int y = place.top + (place.bottom - place.top - nHeight) / 2;

    m_hWnd = ::CreateWindowExA(WS_EX_APPWINDOW, kClassName, kCaption, kStyle, x, y, nWidth, nHeight,
                               nullptr, nullptr, hInstance, nullptr);
    if (m_hWnd == nullptr)
        return; // a load without its progress window still loads
    const auto hFont = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    m_hText = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                kMargin, kMargin, kClientWidth - 2 * kMargin, kTextHeight, m_hWnd,
                                nullptr, hInstance, nullptr);
    ::SendMessageA(m_hText, WM_SETFONT, hFont, FALSE);
    m_hBar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, kMargin,
                               kMargin + kTextHeight + 10, kClientWidth - 2 * kMargin, kBarHeight,
                               m_hWnd, nullptr, hInstance, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
}

CProgressWindow::~CProgressWindow() {
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

void CProgressWindow::Show(const std::string& strStep, int nDone, int nTotal) {
    if (m_hWnd == nullptr)
        return;
    const DWORD nNow = ::GetTickCount();
    if (!m_bRefreshed || nNow - m_nLastRefresh >= kRefreshMs) {
        m_bRefreshed = true;
        m_nLastRefresh = nNow;
        if (strStep != m_strStep) {
            m_strStep = strStep;
            ::SetWindowTextA(m_hText, strStep.c_str());
        }
        ::SendMessageA(m_hBar, PBM_SETRANGE32, 0, nTotal > 0 ? nTotal : 1);
        ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(nTotal > 0 ? nDone : 0), 0);
        // Only this window's messages: the dialog and its controls wait for the load to end.
        MSG message;
        while (::PeekMessageA(&message, m_hWnd, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}
