#include "platform/win32/Dialog.h"

#include "platform/win32/WinApp.h"

#include <exception>
#include <stdexcept>
#include <string>

INT_PTR CDialog::DoModal() {
    const CWinApp* pApp = CWinApp::GetApp();
    HINSTANCE hInstance = pApp != nullptr ? pApp->m_hInstance : ::GetModuleHandleA(nullptr);
    const INT_PTR nResult =
        ::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(m_nTemplateId),
                          m_pParent != nullptr ? m_pParent->GetSafeHwnd() : nullptr, DialogProc,
                          reinterpret_cast<LPARAM>(this));
    if (nResult == -1)
        throw std::runtime_error("Gridwright could not open its window (dialog " +
                                 std::to_string(m_nTemplateId) + ", system error " +
                                 std::to_string(::GetLastError()) +
                                 "). The program file may be damaged: copy gridwright.exe from "
                                 "its package again.");
    return nResult;
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

INT_PTR CDialog::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_INITDIALOG)
        return OnInitDialog();
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
