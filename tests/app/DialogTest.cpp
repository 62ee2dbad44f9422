// The dialog framework with real dialogs: a dialog that cannot be made, and how a handled
// message's result reaches its sender.
#include "platform/win32/Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr int kProbeDialog = 200; // ProbeDialog.rc
constexpr LRESULT kAnswer = 0x5A5A;

// Answers the messages it is given with kAnswer, and sends them to itself while it starts.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(std::vector<UINT> aMessages)
        : CDialog(kProbeDialog), m_aMessages(std::move(aMessages)) {}

    std::map<UINT, LRESULT> m_aReceived; // what the sender got back for each

private:
    BOOL OnInitDialog() override {
        for (const UINT nMessage : m_aMessages)
            m_aReceived[nMessage] = ::SendMessageA(m_hWnd, nMessage, 0, 0);
        EndDialog(IDOK);
        return TRUE;
    }
    bool OnMessage(UINT nMessage, WPARAM, LPARAM, LRESULT& lResult) override {
        if (std::find(m_aMessages.begin(), m_aMessages.end(), nMessage) == m_aMessages.end())
            return false;
        lResult = kAnswer;
        return true;
    }

    std::vector<UINT> m_aMessages;
};

TEST(Dialog, DoModalThrowsWhenTheDialogCannotBeMade) {
    CDialog missing(4321); // no such template
    EXPECT_THROW(missing.DoModal(), std::runtime_error);
}

// Colour, drag-icon and list-key messages take the procedure's return value; a notification's
// result goes through DWLP_MSGRESULT. Either way the sender must get the handler's answer.
TEST(Dialog, HandledResultsReachTheSender) {
    const std::vector<UINT> aMessages = {WM_CTLCOLORSTATIC, WM_CTLCOLORDLG, WM_QUERYDRAGICON,
                                         WM_VKEYTOITEM,     WM_CHARTOITEM,  WM_NOTIFY};
    CProbeDlg dlg(aMessages);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    for (const UINT nMessage : aMessages)
        EXPECT_EQ(dlg.m_aReceived[nMessage], kAnswer) << "message 0x" << std::hex << nMessage;
}

} // namespace
