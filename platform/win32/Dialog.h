#pragma once

#include "platform/win32/Wnd.h"

#include <climits>
#include <span>
#include <vector>

// What one row of a message map answers.
enum class ERow : unsigned char {
    Message,    // a message to the dialog's procedure
    Command,    // WM_COMMAND: a notification code from a control id
    SysCommand, // WM_SYSCOMMAND: a command id (the system keeps the low four bits of wParam)
    Registered, // a message registered by name, such as a common control's
    // A message the modal loop takes from the queue for a control (or any window of the dialog),
    // before the dialog manager and the control see it: keys and typed characters are posted, so
    // they come this way whichever control has the focus. Characters come as UTF-16.
    Queued,
};

// The id of a Queued row that takes the message for the dialog itself and for any control. No
// control has it: ids of static text are -1.
constexpr int kAnyControl = INT_MIN;

// One row of a dialog's message map and its handler. A handler returns false to say it did not
// handle the message: the next matching row gets it, and then the default processing (for a
// Queued row: the dialog manager, then the control). Its result goes to the message's sender.
template <typename TDialog> struct CMessageMapEntry {
    using Handler = bool (*)(TDialog& dlg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    ERow eKind = ERow::Message;
    UINT nMessage = 0;             // Message, Queued: the message; Command: the notification code
    int nId = 0;                   // Command, Queued: the control id; SysCommand: the command id
    const char* pszName = nullptr; // Registered: the name the message is registered by
    Handler pfnHandler = nullptr;

    static constexpr CMessageMapEntry Message(UINT nMessage, Handler pfn) {
        return {ERow::Message, nMessage, 0, nullptr, pfn};
    }
    static constexpr CMessageMapEntry Command(UINT nCode, int nControlId, Handler pfn) {
        return {ERow::Command, nCode, nControlId, nullptr, pfn};
    }
    static constexpr CMessageMapEntry SysCommand(int nCommandId, Handler pfn) {
        return {ERow::SysCommand, WM_SYSCOMMAND, nCommandId, nullptr, pfn};
    }
    static constexpr CMessageMapEntry Registered(const char* pszName, Handler pfn) {
        return {ERow::Registered, 0, 0, pszName, pfn};
    }
    static constexpr CMessageMapEntry Queued(UINT nMessage, int nControlId, Handler pfn) {
        return {ERow::Queued, nMessage, nControlId, nullptr, pfn};
    }
};

// The handler of a row that runs a member taking no arguments.
template <auto pfnMember, typename TDialog> bool CallRow(TDialog& dlg, WPARAM, LPARAM, LRESULT&) {
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

// A modal dialog from a template resource, run by its own message loop: each message for the
// dialog or one of its controls goes first to the dialog's Queued rows, then to the dialog
// manager, then to its window. Exceptions that escape a handler are reported with the standard
// stop-icon box, and the dialog stays open.
class CDialog : public CWnd {
public:
    explicit CDialog(int nTemplateId, const CWnd* pParent = nullptr)
        : m_nTemplateId(nTemplateId), m_pParent(pParent) {}

    // Runs the dialog until it ends and gives its result, with its owner disabled meanwhile.
    // Throws std::runtime_error when the dialog cannot be made (its template is missing, or the
    // system is out of resources). A WM_QUIT ends it with 0 and is posted again for the loop
    // outside.
    INT_PTR DoModal();
    // Ends the modal loop with the result once the current message is handled.
    void EndDialog(int nResult);

protected:
    // Runs once the controls exist; TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }

    // Centres the dialog on its owner, or on the work area when it has none or the owner is
    // hidden or minimised; it is kept inside the work area. Every dialog opens so.
    void CenterWindow();
    // The work area of the monitor the dialog is on.
    RECT WorkArea() const;

    // The message map (CMapDialog): a message to the dialog's procedure, and one the modal loop
    // took for the window with the control id nControlId (0: the dialog itself). What they leave
    // unhandled gets the base's IDOK and IDCANCEL handling, then the default processing.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    virtual bool OnQueuedMessage(const MSG&, int /*nControlId*/) { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    // Offers a message from the queue to the Queued rows; true when one handled it.
    bool PreTranslate(const MSG& msg);

    int m_nTemplateId;
    const CWnd* m_pParent;
    INT_PTR m_nResult = 0;
    bool m_bEnded = false;
};

// A dialog whose every handler is a row of one static message map, TDialog's. Rows are tried in
// their order.
template <typename TDialog> class CMapDialog : public CDialog {
protected:
    using Row = CMessageMapEntry<TDialog>;

    CMapDialog(std::span<const Row> aMap, int nTemplateId, const CWnd* pParent = nullptr)
        : CDialog(nTemplateId, pParent), m_aMap(aMap) {
        for (const Row& row : aMap)
            m_anRegistered.push_back(
                row.eKind == ERow::Registered ? ::RegisterWindowMessageA(row.pszName) : 0);
    }

private:
    bool OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) final {
        for (std::size_t i = 0; i < m_aMap.size(); ++i) {
            const Row& row = m_aMap[i];
            bool bMatch = false;
            switch (row.eKind) {
            case ERow::Message:
                bMatch = row.nMessage == nMessage;
                break;
            case ERow::Command:
                bMatch = nMessage == WM_COMMAND && row.nMessage == HIWORD(wParam) &&
                         row.nId == static_cast<int>(LOWORD(wParam));
                break;
            case ERow::SysCommand:
                bMatch =
                    nMessage == WM_SYSCOMMAND && static_cast<WPARAM>(row.nId) == (wParam & 0xFFF0);
                break;
            case ERow::Registered:
                bMatch = m_anRegistered[i] != 0 && m_anRegistered[i] == nMessage;
                break;
            case ERow::Queued:
                break;
            }
            if (bMatch && row.pfnHandler(static_cast<TDialog&>(*this), wParam, lParam, lResult))
                return true;
        }
        return false;
    }

    bool OnQueuedMessage(const MSG& msg, int nControlId) final {
        for (const Row& row : m_aMap) {
            LRESULT lResult = 0;
            if (row.eKind == ERow::Queued && row.nMessage == msg.message &&
                (row.nId == kAnyControl || (row.nId == nControlId && msg.hwnd != m_hWnd)) &&
                row.pfnHandler(static_cast<TDialog&>(*this), msg.wParam, msg.lParam, lResult))
                return true;
        }
        return false;
    }

    std::span<const Row> m_aMap;
    std::vector<UINT> m_anRegistered; // each Registered row's message, looked up once
};
