#include "platform/win32/Dialog.h"

#include "platform/win32/WinApp.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The modal dialogs running on this thread, innermost last, and the hook that shows them their
// messages: the system's modal loop offers each message to message filters before it handles it.
std::vector<CDialog*> s_apModal;
HHOOK s_hMessageFilter = nullptr;

} // namespace

INT_PTR CDialog::DoModal() {
    const CWinApp* pApp = CWinApp::GetApp();
    HINSTANCE hInstance = pApp != nullptr ? pApp->m_hInstance : ::GetModuleHandleA(nullptr);
    if (s_apModal.empty())
        s_hMessageFilter =
            ::SetWindowsHookExA(WH_MSGFILTER, MessageFilterProc, nullptr, ::GetCurrentThreadId());
    s_apModal.push_back(this);
    const INT_PTR nResult =
        ::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(m_nTemplateId),
                          m_pParent != nullptr ? m_pParent->GetSafeHwnd() : nullptr, DialogProc,
                          reinterpret_cast<LPARAM>(this));
    const DWORD dwError = ::GetLastError();
    std::erase(s_apModal, this);
    if (s_apModal.empty() && s_hMessageFilter != nullptr) {
        ::UnhookWindowsHookEx(s_hMessageFilter);
        s_hMessageFilter = nullptr;
    }
    if (nResult == -1)
        throw std::runtime_error("Gridwright could not open its window (dialog " +
                                 std::to_string(m_nTemplateId) + ", system error " +
                                 std::to_string(dwError) +
                                 "). The program file may be damaged: copy gridwright.exe from "
                                 "its package again.");
    return nResult;
}

LRESULT CALLBACK CDialog::MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam) {
    const auto* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (nCode == MSGF_DIALOGBOX && pMsg != nullptr) {
        for (auto it = s_apModal.rbegin(); it != s_apModal.rend(); ++it) {
            const HWND hDialog = (*it)->m_hWnd;
            if (hDialog == nullptr || (pMsg->hwnd != hDialog && !::IsChild(hDialog, pMsg->hwnd)))
                continue;
            try {
                if ((*it)->PreTranslateMessage(*pMsg))
                    return 1;
            } catch (const std::exception& e) {
                ShowErrorMessage(hDialog, e.what());
                return 1;
            }
            break;
        }
    }
    return ::CallNextHookEx(s_hMessageFilter, nCode, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_INITDIALOG) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = hWnd;
    }
    auto* pDialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (pDialog == nullptr)
        return FALSE; // messages before WM_INITDIALOG
    if (nMessage == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDialog->m_hWnd = nullptr;
        return FALSE;
    }
    // No exception may unwind through the system's frames.
    try {
        return pDialog->Handle(nMessage, wParam, lParam);
    } catch (const std::exception& e) {
        ShowErrorMessage(hWnd, e.what());
    } catch (...) {
        ShowErrorMessage(hWnd, "An unexpected error stopped the command.");
    }
    // The message counts as handled; where the return value is the result itself, 0 lets the
    // system use its default.
    return ReturnsResultDirectly(nMessage) ? FALSE : TRUE;
}

RECT CDialog::WorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    return monitor.rcWork;
}

void CDialog::CenterWindow() {
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner != nullptr && (!::IsWindowVisible(hOwner) || ::IsIconic(hOwner)))
        hOwner = nullptr;
    const RECT work = WorkArea();
    RECT around = work;
    if (hOwner != nullptr)
        ::GetWindowRect(hOwner, &around);

    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    int x = (around.left + around.right - nWidth) / 2;
    int y = (around.top + around.bottom - nHeight) / 2;
    // Inside the work area, its top-left corner first when the dialog is the bigger.
    x = x + nWidth > work.right ? work.right - nWidth : x;
    y = y + nHeight > work.bottom ? work.bottom - nHeight : y;
    x = x < work.left ? work.left : x;
    y = y < work.top ? work.top : y;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_INITDIALOG) {
        CenterWindow();
        return OnInitDialog();
    }
    LRESULT lResult = 0;
    if (OnMessage(nMessage, wParam, lParam, lResult)) {
        if (ReturnsResultDirectly(nMessage))
            return static_cast<INT_PTR>(lResult);
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    if (nMessage == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}
