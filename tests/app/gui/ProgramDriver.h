#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <windows.h>

// Runs the real program in a game folder and drives its dialog from outside, as UI automation
// does: window messages to its controls, the notifications a user's click would send, and
// bounded waits, so that no test hangs on a program that stopped answering. Failures of the
// driver itself are thrown as std::runtime_error.
class CProgramDriver {
public:
    static constexpr DWORD kWaitMs = 10000;

    enum class ELoad { Loaded, ErrorBox };

    // What the program remembers between runs (app/WindowMemory.h) is shared by every test in
    // the prefix: forgotten before the program starts, unless kept.
    enum class EMemory { Forget, Keep };

    // Copies the program into the folder and starts it with the folder as its current directory.
    explicit CProgramDriver(const std::filesystem::path& folder, EMemory eMemory = EMemory::Forget);
    ~CProgramDriver();
    CProgramDriver(const CProgramDriver&) = delete;
    CProgramDriver& operator=(const CProgramDriver&) = delete;

    // Finds the main dialog, then waits until its lists stop changing or an error box shows.
    ELoad WaitUntilLoaded(DWORD nWaitMs = kWaitMs);
    HWND Dialog() const { return m_hDialog; }
    HWND Control(int nId) const;

    std::vector<std::string> Lines(int nListId) const;
    static std::vector<std::string> ListLines(HWND hList);
    // The line selected alone, -1 when none is, kSeveral when more are; the selected lines; the
    // caret, the line the keyboard is on (a list box has one whenever it has lines).
    static constexpr int kSeveral = -2;
    int Selection(int nListId) const;
    std::vector<int> SelectedLines(int nListId) const;
    int Caret(int nListId) const;
    std::string Text(int nControlId) const;
    bool IsEnabled(int nControlId) const;

    // A user's click on a line: that line alone selected with the caret on it, then the
    // notification the dialog would get.
    void Select(int nListId, int nIndex);
    void DoubleClick(int nListId, int nIndex);
    // Clicks a button and waits for the dialog to handle it.
    void Click(int nButtonId);
    // Clicks a button without waiting, for ones that may open a modal box.
    void PostClick(int nButtonId);
    void Post(UINT nMessage, WPARAM wParam, LPARAM lParam) const;

    // The program's control with the keyboard focus, or null.
    HWND Focus() const;
    // Brings the dialog to the front, so that real keys go to it.
    void Activate() const;
    // Where a line of a list box stands on the screen: the middle of its left part.
    POINT LinePoint(int nListId, int nIndex) const;
    // A control's or window's rectangle on the screen.
    static RECT ScreenRect(HWND hWindow);
    // Polls until the condition holds; false when it still does not after kWaitMs.
    template <typename Condition> static bool WaitUntil(Condition condition) {
        const DWORD dwStart = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - dwStart >= kWaitMs)
                return false;
            Sleep(50);
        }
        return true;
    }

    // A top-level dialog-class window of the process with this exact title, or null.
    HWND FindOwnWindow(const std::string& strTitle) const;
    HWND WaitForOwnWindow(const std::string& strTitle) const;
    // A top-level window of the process of this window class, or null.
    HWND FindOwnWindowOfClass(const std::string& strClass) const;
    bool WaitUntilGone(HWND hWindow) const;
    // Presses a box's OK button (id 1) and waits until the box has gone.
    bool CloseBox(HWND hBox) const;
    // Returns once the dialog has handled everything sent or posted to it before (or, when it
    // stays busy, after kWaitMs).
    void Sync() const;
    // Returns once the program has handled all input given so far; throws when it stays busy.
    void WaitUntilIdle() const;
    // Real key input, as a user types it: brings the window to the foreground, presses the keys
    // in order and lets them go in reverse (so {VK_CONTROL, 'Z'} is Ctrl+Z).
    void PressKeys(HWND hWindow, std::initializer_list<WORD> aKeys) const;
    // Whether the dialog's Can button, made to paint again, painted within kWaitMs.
    [[nodiscard]] bool Repainted() const;
    // Gives the keyboard focus to a control of the dialog, as the Tab key would.
    void Focus(int nControlId);
    // A visible pop-up menu window of the process, or null.
    HWND FindMenuWindow() const;
    // The texts of a window's child controls, in their order.
    std::vector<std::string> ChildTexts(HWND hWindow) const;

    // Waits for the program to end by itself; kills it and returns false when it does not.
    bool WaitForExit();
    bool HasExited() const;

    static std::string WindowText(HWND hWindow);
    static LRESULT Send(HWND hWindow, UINT nMessage, WPARAM wParam, LPARAM lParam);

    // The program's process number, which its temporary file names carry.
    DWORD ProcessId() const { return m_process.dwProcessId; }

private:
    HWND FindDialog() const;
    ELoad ErrorBoxShown();

    PROCESS_INFORMATION m_process{};
    HWND m_hDialog = nullptr;
};

// Where the built program and the artifacts folder are, as Windows paths.
std::filesystem::path ProgramPath();
std::filesystem::path ArtifactsFolder();
