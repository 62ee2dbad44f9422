// Each kind of message map row reached in a real dialog, run by the framework's modal loop: the
// dialog posts and sends itself messages once it starts, and the rows log what reaches them.
#include "platform/win32/Dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kProbeDialog = 200; // ProbeDialog.rc
constexpr int kFirstEdit = 10;
constexpr int kSecondEdit = 11;
constexpr int kButton = 12;
constexpr int kCommand = 0x0020;
constexpr char kRegisteredName[] = "GridwrightMessageMapProbe";
constexpr UINT kFinish = WM_APP + 1;

std::string WindowText(HWND hWnd) {
    char sz[64] = {};
    ::GetWindowTextA(hWnd, sz, sizeof sz);
    return sz;
}

class CMapProbe : public CMapDialog<CMapProbe> {
public:
    CMapProbe();

    std::vector<std::string> m_astrLog;
    std::vector<LRESULT> m_anResults; // what the sent messages gave back
    std::string m_strFirstEdit;       // the edit boxes' text at the end
    std::string m_strSecondEdit;

private:
    static const Row s_aMessageMap[];

    void Log(std::string str) { m_astrLog.push_back(std::move(str)); }

    BOOL OnInitDialog() override {
        const auto post = [this](HWND hWnd, UINT nMessage, WPARAM wParam) {
            ::PostMessageW(hWnd, nMessage, wParam, 0);
        };
        const HWND hFirst = ::GetDlgItem(m_hWnd, kFirstEdit);
        const HWND hSecond = ::GetDlgItem(m_hWnd, kSecondEdit);
        // Through the dialog procedure, sent.
        m_anResults.push_back(::SendMessageA(m_hWnd, WM_APP, 0, 0));
        m_anResults.push_back(
            ::SendMessageA(m_hWnd, ::RegisterWindowMessageA(kRegisteredName), 0, 0));
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kButton, BN_DOUBLECLICKED), 0);
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kSecondEdit, BN_CLICKED), 0);
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0);
        // Through the queue: a command's low four bits are the system's.
        post(m_hWnd, WM_SYSCOMMAND, kCommand | 0x3);
        post(m_hWnd, WM_SYSCOMMAND, kCommand + 0x10);
        // "x" is taken on its way to the first edit box, "y" goes on to it; the second has no row.
        post(hFirst, WM_CHAR, 'x');
        post(hFirst, WM_CHAR, 'y');
        post(hSecond, WM_CHAR, 'x');
        // Not a character of every code page: it arrives whole.
        post(hFirst, WM_CHAR, 0x0416);
        // The first edit box's row declines F5, so the row for any window gets it after.
        post(hFirst, WM_KEYDOWN, VK_F5);
        post(hSecond, WM_KEYDOWN, VK_F6);
        post(m_hWnd, WM_KEYDOWN, VK_F7);
        // A sent character goes straight to the window.
        ::SendMessageW(hSecond, WM_CHAR, 'z', 0);
        post(m_hWnd, kFinish, 0);
        return TRUE;
    }
};

const CMapProbe::Row CMapProbe::s_aMessageMap[] = {
    Row::Message(WM_APP,
                 [](CMapProbe& dlg, WPARAM, LPARAM, LRESULT& lResult) {
                     dlg.Log("message");
                     lResult = 7;
                     return true;
                 }),
    Row::Registered(kRegisteredName,
                    [](CMapProbe& dlg, WPARAM, LPARAM, LRESULT& lResult) {
                        dlg.Log("registered");
                        lResult = 8;
                        return true;
                    }),
    Row::Command(BN_CLICKED, kButton,
                 [](CMapProbe& dlg, WPARAM, LPARAM, LRESULT&) {
                     dlg.Log("clicked");
                     return true;
                 }),
    Row::SysCommand(kCommand,
                    [](CMapProbe& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                        dlg.Log("command " + std::to_string(wParam));
                        return true;
                    }),
    Row::Queued(WM_CHAR, kFirstEdit,
                [](CMapProbe& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                    dlg.Log("char " + std::to_string(wParam));
                    return wParam != 'y';
                }),
    Row::Queued(WM_KEYDOWN, kFirstEdit,
                [](CMapProbe& dlg, WPARAM, LPARAM, LRESULT&) {
                    dlg.Log("first edit declines");
                    return false;
                }),
    Row::Queued(WM_KEYDOWN, kAnyControl,
                [](CMapProbe& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                    dlg.Log("key " + std::to_string(wParam));
                    return true;
                }),
    Row::Message(kFinish,
                 [](CMapProbe& dlg, WPARAM, LPARAM, LRESULT&) {
                     dlg.m_strFirstEdit = WindowText(::GetDlgItem(dlg.m_hWnd, kFirstEdit));
                     dlg.m_strSecondEdit = WindowText(::GetDlgItem(dlg.m_hWnd, kSecondEdit));
                     dlg.EndDialog(IDOK);
                     return true;
                 }),
};

CMapProbe::CMapProbe() : CMapDialog(s_aMessageMap, kProbeDialog) {}

TEST(MessageMap, EachKindOfRowReachesItsHandler) {
    CMapProbe dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_anResults, (std::vector<LRESULT>{7, 8}));
    EXPECT_EQ(
        dlg.m_astrLog,
        (std::vector<std::string>{
            "message", "registered", "clicked", "command " + std::to_string(kCommand | 0x3),
            "char " + std::to_string('x'), "char " + std::to_string('y'),
            "char " + std::to_string(0x0416), "first edit declines", "key " + std::to_string(VK_F5),
            "key " + std::to_string(VK_F6), "key " + std::to_string(VK_F7)}));
    EXPECT_EQ(dlg.m_strFirstEdit, "y") << "only what the row left went on to the control";
    EXPECT_EQ(dlg.m_strSecondEdit, "zx") << "no row for this control, and sent first";
}

} // namespace
