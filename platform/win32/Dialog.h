#pragma once

#include "platform/win32/Wnd.h"

#include <span>

// One row of a dialog's message map: a window message, or for WM_COMMAND a notification code and
// a control id, and the handler. A handler returns false to let the message have the dialog
// manager's default processing; its result goes to the message's sender.
template <typename TDialog> struct CMessageMapEntry {
    UINT nMessage;
    UINT nCode; // WM_COMMAND only
    int nId;    // WM_COMMAND only
    bool (*pfnHandler)(TDialog& dlg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
};

// The row for a control notification that runs a member taking no arguments.
template <auto pfnMember, typename TDialog>
bool OnCommandRow(TDialog& dlg, WPARAM, LPARAM, LRESULT&) {
    (dlg.*pfnMember)();
    return true;
}

// Whether a handled message's result is the dialog procedure's return value, as the system reads
// it for these; any other result goes through DWLP_MSGRESULT. (WM_INITDIALOG's is OnInitDialog's.)
constexpr bool ReturnsResultDirectly(UINT nMessage) {
    switch (nMessage) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

// Finds the first row for the message and runs its handler; false when no row matches or the
// handler asks for default processing.
template <typename TDialog>
bool DispatchMessageMap(std::span<const CMessageMapEntry<TDialog>> aMap, TDialog& dlg,
                        UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    for (const auto& entry : aMap) {
        if (entry.nMessage != nMessage)
            continue;
        if (nMessage == WM_COMMAND &&
            (entry.nCode != HIWORD(wParam) || entry.nId != static_cast<int>(LOWORD(wParam))))
            continue;
        return entry.pfnHandler(dlg, wParam, lParam, lResult);
    }
    return false;
}

// A modal dialog from a template resource. Exceptions that escape a handler are caught in the
// dialog procedure, reported with the standard stop-icon box, and the dialog stays open.
class CDialog : public CWnd {
public:
    explicit CDialog(int nTemplateId, const CWnd* pParent = nullptr)
        : m_nTemplateId(nTemplateId), m_pParent(pParent) {}

    // Runs the dialog until it ends and gives its result. Throws std::runtime_error when the
    // dialog cannot be made (its template is missing, or the system is out of resources).
    INT_PTR DoModal();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

protected:
    // Runs once the controls exist; TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }

    // Sees each message for the dialog or one of its controls before the dialog manager does,
    // while the dialog runs modally; true when it handled the message, which then goes no
    // further. For keys that must work whichever control has the focus.
    virtual bool PreTranslateMessage(const MSG&) { return false; }

    // Centres the dialog on its owner, or on the work area when it has none or the owner is
    // hidden or minimised; it is kept inside the work area. Every dialog opens so.
    void CenterWindow();
    // The work area of the monitor the dialog is on.
    RECT WorkArea() const;

    // The derived dialog's message map. What it leaves unhandled gets the base's IDOK and IDCANCEL
    // handling, then the dialog manager's default processing.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static LRESULT CALLBACK MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);

    int m_nTemplateId;
    const CWnd* m_pParent;
};
