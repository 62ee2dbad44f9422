// The dialog framework's modal loop with real dialogs: a dialog that cannot be made, results
// reaching their senders, a modal dialog over another, the ways a loop ends, and a handler that
// throws.
#include "platform/win32/Dialog.h"
#include "platform/win32/WinApp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kProbeDialog = 200; // ProbeDialog.rc
constexpr int kEdit = 10;
constexpr LRESULT kAnswer = 0x5A5A;
constexpr UINT kStep = WM_APP + 1; // wParam: which step of the test dialog's script
constexpr UINT kThrow = WM_APP + 2;
constexpr UINT kBoxClosed = WM_APP + 3; // posted to a closed box's owner

// Closes each message box of the given thread as a user would, keeping its text, and then tells
// the box's owner with kBoxClosed; until it is destroyed. (Messages posted while a box is open go
// through the box's loop, not the dialog's.)
class CBoxCloser {
public:
    explicit CBoxCloser(DWORD dwThread)
        : m_thread([this, dwThread] {
              while (!m_bStop) {
                  ::EnumThreadWindows(dwThread, &CBoxCloser::CloseIfBox,
                                      reinterpret_cast<LPARAM>(this));
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~CBoxCloser() {
        m_bStop = true;
        m_thread.join();
    }
    CBoxCloser(const CBoxCloser&) = delete;
    CBoxCloser& operator=(const CBoxCloser&) = delete;

    std::vector<std::string> Texts() {
        const std::lock_guard lock(m_mutex);
        return m_astrTexts;
    }

private:
    static BOOL CALLBACK CloseIfBox(HWND hWnd, LPARAM lParam) {
        auto& closer = *reinterpret_cast<CBoxCloser*>(lParam);
        char szTitle[64] = {};
        ::GetWindowTextA(hWnd, szTitle, sizeof szTitle);

        // The framework's boxes are titled with the executable's name.
        if (::IsWindowVisible(hWnd) && szTitle == ExecutableBaseName()) {
            char szText[256] = {};
            ::GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof szText);
            {
                const std::lock_guard lock(closer.m_mutex);
                closer.m_astrTexts.emplace_back(szText);
            }
            const HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
            ::SendMessageA(hWnd, WM_COMMAND, IDOK, 0);
            ::PostMessageA(hOwner, kBoxClosed, 0, 0);
        }
        return TRUE;
    }

    std::atomic<bool> m_bStop = false;
    std::mutex m_mutex;
    std::vector<std::string> m_astrTexts;
    std::thread m_thread;
};

// A dialog that runs a script of steps, each a posted kStep; its rows log what they see.
class CScriptDlg : public CMapDialog<CScriptDlg> {
public:
    using Step = void (*)(CScriptDlg& dlg);
    explicit CScriptDlg(std::vector<Step> aSteps, const CWnd* pParent = nullptr);

    void Next() { ::PostMessageA(m_hWnd, kStep, m_nStep++, 0); }
    HWND Hwnd() const { return m_hWnd; }
    HWND Edit() const { return ::GetDlgItem(m_hWnd, kEdit); }

    std::vector<std::string> m_astrLog;
    std::size_t m_nStep = 0;
    CScriptDlg* m_pInner = nullptr;

private:
    static const Row s_aMessageMap[];

    BOOL OnInitDialog() override {
        Next();
        return TRUE;
    }
    void Log(const std::string& str) { m_astrLog.push_back(str); }

    std::vector<Step> m_aSteps;
};

const CScriptDlg::Row CScriptDlg::s_aMessageMap[] = {
    Row::Message(kStep,
                 [](CScriptDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                     if (wParam < dlg.m_aSteps.size())
                         dlg.m_aSteps[wParam](dlg);
                     return true;
                 }),
    Row::Message(kThrow,
                 [](CScriptDlg&, WPARAM, LPARAM, LRESULT&) -> bool {
                     throw std::runtime_error("thrown by a message's row");
                 }),
    Row::Message(kBoxClosed,
                 [](CScriptDlg& dlg, WPARAM, LPARAM, LRESULT&) {
                     dlg.Next();
                     return true;
                 }),
    Row::Queued(WM_KEYDOWN, kAnyControl,
                [](CScriptDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                    if (wParam == VK_F9)
                        throw std::runtime_error("thrown by a key's row");
                    dlg.Log("key " + std::to_string(wParam));
                    return true;
                }),
    Row::Message(WM_DESTROY,
                 [](CScriptDlg& dlg, WPARAM, LPARAM, LRESULT&) {
                     const HWND hOwner = ::GetWindow(dlg.Hwnd(), GW_OWNER);
                     dlg.Log(hOwner == nullptr           ? "destroyed"
                             : ::IsWindowEnabled(hOwner) ? "destroyed, owner enabled"
                                                         : "destroyed, owner disabled");
                     return false;
                 }),
};

CScriptDlg::CScriptDlg(std::vector<Step> aSteps, const CWnd* pParent)
    : CMapDialog(s_aMessageMap, kProbeDialog, pParent), m_aSteps(std::move(aSteps)) {}

// Answers the messages it sends itself while it starts with kAnswer, then ends.
class CResultProbe : public CMapDialog<CResultProbe> {
public:
    CResultProbe();

    static constexpr UINT kMessages[] = {WM_CTLCOLORSTATIC, WM_CTLCOLORDLG, WM_QUERYDRAGICON,
                                         WM_VKEYTOITEM,     WM_CHARTOITEM,  WM_NOTIFY};
    std::vector<LRESULT> m_anReceived; // what the sender got back for each

private:
    static const Row s_aMessageMap[];
    static bool Answer(CResultProbe&, WPARAM, LPARAM, LRESULT& lResult) {
        lResult = kAnswer;
        return true;
    }
    BOOL OnInitDialog() override {
        for (const UINT nMessage : kMessages)
            m_anReceived.push_back(::SendMessageA(m_hWnd, nMessage, 0, 0));
        EndDialog(IDOK);
        return TRUE;
    }
};

const CResultProbe::Row CResultProbe::s_aMessageMap[] = {
    Row::Message(WM_CTLCOLORSTATIC, Answer), Row::Message(WM_CTLCOLORDLG, Answer),
    Row::Message(WM_QUERYDRAGICON, Answer),  Row::Message(WM_VKEYTOITEM, Answer),
    Row::Message(WM_CHARTOITEM, Answer),     Row::Message(WM_NOTIFY, Answer),
};

CResultProbe::CResultProbe() : CMapDialog(s_aMessageMap, kProbeDialog) {}

TEST(Dialog, DoModalThrowsWhenTheDialogCannotBeMade) {
    CDialog missing(4321); // no such template
    EXPECT_THROW(missing.DoModal(), std::runtime_error);
}

// Colour, drag-icon and list-key messages take the procedure's return value; a notification's
// result goes through DWLP_MSGRESULT. Either way the sender must get the handler's answer.
TEST(Dialog, HandledResultsReachTheSender) {
    CResultProbe dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_anReceived, std::vector<LRESULT>(std::size(CResultProbe::kMessages), kAnswer));
}

// The inner dialog runs its own loop with the outer one disabled: a key for the inner dialog
// reaches the inner's rows only, and the outer's rows work again once the inner has ended.
TEST(Dialog, AModalDialogOverAnother) {
    static std::vector<std::string> s_astrInner;
    static bool s_bOuterDisabled = false;
    static bool s_bOuterActiveAgain = false;
    static INT_PTR s_nInnerResult = 0;
    CScriptDlg outer({
        [](CScriptDlg& dlg) {
            CScriptDlg inner({[](CScriptDlg& in) {
                                  s_bOuterDisabled =
                                      !::IsWindowEnabled(::GetWindow(in.Hwnd(), GW_OWNER));
                                  ::PostMessageW(in.Edit(), WM_KEYDOWN, VK_F5, 0);
                                  in.Next();
                              },
                              [](CScriptDlg& in) { in.EndDialog(42); }},
                             &dlg);
            s_nInnerResult = inner.DoModal();
            s_astrInner = inner.m_astrLog;
            s_bOuterActiveAgain = ::GetActiveWindow() == dlg.Hwnd();
            ::PostMessageW(dlg.Edit(), WM_KEYDOWN, VK_F6, 0);
            dlg.Next();
        },
        [](CScriptDlg& dlg) { dlg.EndDialog(7); },
    });
    EXPECT_EQ(outer.DoModal(), 7);
    EXPECT_EQ(s_nInnerResult, 42);
    EXPECT_TRUE(s_bOuterDisabled);
    EXPECT_EQ(s_astrInner, (std::vector<std::string>{"key " + std::to_string(VK_F5),
                                                     "destroyed, owner enabled"}));
    EXPECT_TRUE(s_bOuterActiveAgain);
    EXPECT_EQ(outer.m_astrLog,
              (std::vector<std::string>{"key " + std::to_string(VK_F6), "destroyed"}));
}

// A WM_QUIT ends every loop, inner to outer, and is left for the loop outside them.
TEST(Dialog, QuitEndsNestedLoopsAndIsPostedAgain) {
    static INT_PTR s_nInnerResult = -1;
    CScriptDlg outer({[](CScriptDlg& dlg) {
        CScriptDlg inner({[](CScriptDlg&) { ::PostQuitMessage(5); }}, &dlg);
        s_nInnerResult = inner.DoModal();
    }});
    EXPECT_EQ(outer.DoModal(), 0);
    EXPECT_EQ(s_nInnerResult, 0);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5U);
}

// Cancel sent from another thread is handled while the loop waits for a message: the loop must
// still end then, not at the next message.
TEST(Dialog, EndsWhenEndedFromASentMessage) {
    static std::atomic<HWND> s_hDialog = nullptr;
    CScriptDlg dlg({[](CScriptDlg& d) { s_hDialog = d.Hwnd(); }});
    std::atomic<bool> bReturned = false;
    std::atomic<bool> bWokenByHand = false;
    std::thread sender([&] {
        while (s_hDialog == nullptr)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the loop is waiting
        ::SendMessageA(s_hDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        for (int i = 0; i < 100 && !bReturned; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!bReturned) {
            bWokenByHand = true;
            ::PostMessageA(s_hDialog, WM_NULL, 0, 0);
        }
    });
    const INT_PTR nResult = dlg.DoModal();
    bReturned = true;
    sender.join();
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_FALSE(bWokenByHand);
    EXPECT_FALSE(::IsWindow(s_hDialog));
}

// A throwing handler, in the dialog procedure or in the loop, is reported and abandoned; the
// dialog stays open and goes on.
TEST(Dialog, AnExceptionInAHandlerIsReportedAndTheDialogStays) {
    CBoxCloser closer(::GetCurrentThreadId());
    CScriptDlg dlg({
        [](CScriptDlg& d) { ::PostMessageW(d.Hwnd(), kThrow, 0, 0); },
        [](CScriptDlg& d) { ::PostMessageW(d.Edit(), WM_KEYDOWN, VK_F9, 0); },
        [](CScriptDlg& d) {
            ::PostMessageW(d.Edit(), WM_KEYDOWN, VK_F5, 0);
            d.Next();
        },
        [](CScriptDlg& d) { d.EndDialog(IDOK); },
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(closer.Texts(),
              (std::vector<std::string>{"thrown by a message's row", "thrown by a key's row"}));
    EXPECT_EQ(dlg.m_astrLog,
              (std::vector<std::string>{"key " + std::to_string(VK_F5), "destroyed"}));
}

} // namespace
