#include "app/ResourceIds.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// gw_start_driver [--pictures] [--hold] AVAILABLE INSTALLED PROGRAM [ARGUMENTS...]
//
// Starts a dialog program in the current folder as a player would and times, from just before
// the launch, what the player waits for: until the dialog is shown with its lists holding
// AVAILABLE and INSTALLED lines, everything painted and the program waiting for input. With
// --pictures it then selects a car in each list and times Show Pictures until both pictures are
// painted. It then closes the dialog as its close box would and waits for the program to end;
// with --hold, only after a line on its input (to look at the screen as it was measured).
// Prints "idle MS input-idle MS [pictures MS] exit MS"; fails when anything does not happen.

namespace {

constexpr DWORD kWaitMs = 120000;
constexpr UINT kSendTimeoutMs = 120000;
constexpr int kAvailableId = IDC_AVAILABLE;
constexpr int kInstalledId = IDC_INSTALLED;
constexpr DWORD kFillPollMs = 5;

double Now() {
    static const double dTicksPerMs = [] {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / dTicksPerMs;
}

[[noreturn]] void Fail(const char* pszWhat) {
    std::fprintf(stderr, "gw_start_driver: %s\n", pszWhat);
    std::exit(1);
}

// A message to the program's window, answered once its thread takes sent messages (which it does
// only while waiting for or peeking at messages); false when it stopped answering.
bool Send(HWND hWindow, UINT nMessage, WPARAM wParam, LPARAM lParam, DWORD_PTR& nResult) {
    return ::SendMessageTimeoutA(hWindow, nMessage, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                                 &nResult) != 0;
}

struct SFind {
    DWORD dwProcessId;
    HWND hFound;
};

// The process's visible top-level window holding both list boxes.
BOOL CALLBACK FindDialogProc(HWND hWindow, LPARAM lParam) {
    auto& find = *reinterpret_cast<SFind*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWindow, &dwProcessId);
    if (dwProcessId != find.dwProcessId || !::IsWindowVisible(hWindow) ||
        ::GetDlgItem(hWindow, kAvailableId) == nullptr ||
        ::GetDlgItem(hWindow, kInstalledId) == nullptr)
        return TRUE;
    find.hFound = hWindow;
    return FALSE;
}

BOOL CALLBACK CollectProc(HWND hWindow, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWindow);
    return TRUE;
}

// Whether the window or any window within it still has something to paint.
bool PaintPending(HWND hDialog) {
    std::vector<HWND> aWindows{hDialog};
    ::EnumChildWindows(hDialog, CollectProc, reinterpret_cast<LPARAM>(&aWindows));
    for (const HWND hWindow : aWindows)
        if (::IsWindowVisible(hWindow) && ::GetUpdateRect(hWindow, nullptr, FALSE))
            return true;
    return false;
}

// Idle as the player sees it: nothing left to paint before and after the program's thread
// answered a message (a paint under way when first looked holds the answer back until it ends).
bool IsIdle(HWND hDialog) {
    DWORD_PTR nResult = 0;
    if (PaintPending(hDialog))
        return false;
    if (!Send(hDialog, WM_NULL, 0, 0, nResult))
        Fail("the program stopped answering");
    return !PaintPending(hDialog);
}

void WaitUntilIdle(HANDLE hProcess, HWND hDialog) {
    const double dStart = Now();
    while (!IsIdle(hDialog)) {
        if (::WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0)
            Fail("the program ended before it was idle");
        if (Now() - dStart > kWaitMs)
            Fail("the program did not become idle");
        ::Sleep(1);
    }
}

// Polls for the dialog with both lists filled, then waits for it to be idle.
HWND WaitUntilFilled(HANDLE hProcess, DWORD dwProcessId, LRESULT nAvailable, LRESULT nInstalled) {
    const double dStart = Now();
    for (;;) {
        if (::WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0)
            Fail("the program ended before its lists were filled");
        if (Now() - dStart > kWaitMs)
            Fail("the dialog did not show with its lists filled");
        SFind find{dwProcessId, nullptr};
        ::EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&find));
        DWORD_PTR nHasAvailable = 0;
        DWORD_PTR nHasInstalled = 0;
        if (find.hFound != nullptr &&
            Send(::GetDlgItem(find.hFound, kAvailableId), LB_GETCOUNT, 0, 0, nHasAvailable) &&
            Send(::GetDlgItem(find.hFound, kInstalledId), LB_GETCOUNT, 0, 0, nHasInstalled) &&
            static_cast<LRESULT>(nHasAvailable) == nAvailable &&
            static_cast<LRESULT>(nHasInstalled) == nInstalled) {
            WaitUntilIdle(hProcess, find.hFound);
            return find.hFound;
        }
        // Each look is a message the loading program answers between files: seldom enough not
        // to slow it, often enough for the small folder's half second.
        ::Sleep(kFillPollMs);
    }
}

// A click on a line in the middle of a list: the selection, then the dialog's notification.
void SelectMiddle(HWND hDialog, int nListId, LRESULT nLines) {
    const HWND hList = ::GetDlgItem(hDialog, nListId);
    DWORD_PTR nResult = 0;
    if (!Send(hList, LB_SETCURSEL, static_cast<WPARAM>(nLines / 2), 0, nResult) ||
        !Send(hDialog, WM_COMMAND, MAKEWPARAM(nListId, LBN_SELCHANGE),
              reinterpret_cast<LPARAM>(hList), nResult))
        Fail("the program stopped answering a selection");
}

} // namespace

int main(int argc, char** argv) {
    int nArg = 1;
    const bool bPictures = argc > nArg && std::string(argv[nArg]) == "--pictures";
    if (bPictures)
        ++nArg;
    const bool bHold = argc > nArg && std::string(argv[nArg]) == "--hold";
    if (bHold)
        ++nArg;
    if (argc < nArg + 3) {
        std::fprintf(
            stderr,
            "Usage: gw_start_driver [--pictures] [--hold] AVAILABLE INSTALLED PROGRAM [ARGS...]\n");
        return 2;
    }
    const LRESULT nAvailable = std::atoi(argv[nArg]);
    const LRESULT nInstalled = std::atoi(argv[nArg + 1]);
    std::string strCommand;
    for (int i = nArg + 2; i < argc; ++i)
        strCommand += (strCommand.empty() ? "\"" : " \"") + std::string(argv[i]) + "\"";
    // The program stays open as for a player, whatever the other measurements set.
    ::SetEnvironmentVariableA("GRIDWRIGHT_EXIT_AFTER_LOAD", nullptr);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double dLaunch = Now();
    if (!::CreateProcessA(nullptr, strCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        Fail("cannot start the program");
    // The first wait for input; a progress window's messages during the load may end it early,
    // so the lists and the painting are looked at after it.
    if (::WaitForInputIdle(process.hProcess, kWaitMs) != 0)
        Fail("the program never waited for input");
    const double dInputIdle = Now();
    const HWND hDialog =
        WaitUntilFilled(process.hProcess, process.dwProcessId, nAvailable, nInstalled);
    const double dIdle = Now();
    std::printf("idle %.1f input-idle %.1f", dIdle - dLaunch, dInputIdle - dLaunch);

    if (bPictures) {
        SelectMiddle(hDialog, kAvailableId, nAvailable);
        SelectMiddle(hDialog, kInstalledId, nInstalled);
        WaitUntilIdle(process.hProcess, hDialog);
        // Sent rather than posted as the menu does, so that the command has been taken before
        // idleness is looked for; the program answers once it has grown the window.
        const double dChoice = Now();
        DWORD_PTR nResult = 0;
        if (!Send(hDialog, WM_SYSCOMMAND, IDM_SHOWPICTURES, 0, nResult))
            Fail("the program stopped answering Show Pictures");
        WaitUntilIdle(process.hProcess, hDialog);
        std::printf(" pictures %.1f", Now() - dChoice);
    }

    if (bHold) {
        std::printf("\n");
        std::fflush(stdout);
        char szLine[16];
        if (std::fgets(szLine, sizeof szLine, stdin) == nullptr)
            Fail("the input ended while holding");
    }
    const double dClose = Now();
    if (!::PostMessageA(hDialog, WM_CLOSE, 0, 0) ||
        ::WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 99);
        Fail("the program did not end after its dialog was closed");
    }
    std::printf(" exit %.1f\n", Now() - dClose);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}
