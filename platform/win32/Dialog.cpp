#include "platform/win32/Dialog.h"

#include "platform/win32/WinApp.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace {

// Reports the exception under way; only inside a catch block. No exception may unwind through the
// system's frames, nor end a modal loop: a handler that throws is abandoned and the dialog stays.
void ReportCurrentException(HWND hWnd) {
    try {
        throw;
    } catch (const std::exception& e) {
        ShowErrorMessage(hWnd, e.what());
    } catch (...) {
        ShowErrorMessage(hWnd, "An unexpected error stopped the command.");
    }
}

} // namespace

INT_PTR CDialog::DoModal() {
    const HINSTANCE hInstance = AppInstance();
    // As the system's modal dialogs: the owner is the parent's top-level window, disabled before
    // the dialog is made so that no input reaches it meanwhile.
    const HWND hOwner = m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr
                            ? ::GetAncestor(m_pParent->GetSafeHwnd(), GA_ROOT)
                            : nullptr;
    const bool bDisabledOwner = hOwner != nullptr && ::EnableWindow(hOwner, FALSE) == 0;
    m_bEnded = false;
    m_nResult = 0;
    const HWND hWnd = ::CreateDialogParamA(hInstance, MAKEINTRESOURCEA(m_nTemplateId), hOwner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    const DWORD dwError = ::GetLastError();
    if (hWnd != nullptr) {
        // A template without WS_VISIBLE is shown as the system shows a modal dialog.
        if (!m_bEnded && m_hWnd != nullptr && !::IsWindowVisible(hWnd))
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    // Enabled before the dialog goes, so that the system activates the owner in its place.
    if (bDisabledOwner)
        ::EnableWindow(hOwner, TRUE);
    if (hWnd != nullptr && m_hWnd != nullptr)
        ::DestroyWindow(hWnd);
    if (hWnd == nullptr)
        throw std::runtime_error("Gridwright could not open its window (dialog " +
                                 std::to_string(m_nTemplateId) + ", system error " +
                                 std::to_string(dwError) +
                                 "). The program file may be damaged: copy gridwright.exe from "
                                 "its package again.");
    return m_nResult;
}

void CDialog::EndDialog(int nResult) {
    m_nResult = nResult;
    m_bEnded = true;
    // Wakes the loop when this came with a sent message while it waited for one.
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::RunModalLoop() {
    MSG msg{};
    // Read as Unicode, so that a typed character is whole whatever the code page.
    while (!m_bEnded && m_hWnd != nullptr) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside this one
            m_nResult = 0;
            return;
        }
        if (bGot == -1)
            return;
        if (!PreTranslate(msg) && !::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool CDialog::PreTranslate(const MSG& msg) {
    if (msg.hwnd == nullptr || (msg.hwnd != m_hWnd && !::IsChild(m_hWnd, msg.hwnd)))
        return false;
    // The id of the dialog's own control that holds the window, as for a control's inner edit.
    int nControlId = 0;
    for (HWND hWnd = msg.hwnd; hWnd != m_hWnd; hWnd = ::GetAncestor(hWnd, GA_PARENT))
        nControlId = ::GetDlgCtrlID(hWnd);
    try {
        return OnQueuedMessage(msg, nControlId);
    } catch (...) {
        ReportCurrentException(m_hWnd);
        return true; // it goes no further
    }
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
    try {
        return pDialog->Handle(nMessage, wParam, lParam);
    } catch (...) {
        ReportCurrentException(hWnd);
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
    if (nMessage == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
