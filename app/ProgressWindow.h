#pragma once

#include <string>

#include <windows.h>

// The small window shown while a long load runs: the application's icon and name in its caption,
// a line saying the step under way and a progress bar. It has no thread of its own: Show is called
// between files, and lets the window paint by handling its pending messages then.
class CProgressWindow {
public:
    // Appears centred on the rectangle of hPlace (the dialog that is about to open).
    CProgressWindow(HWND hPlace, HICON hIcon, HICON hSmallIcon);
    ~CProgressWindow();
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    // Shows the step and nDone of nTotal (an empty bar when nTotal is 0), at most every
    // kRefreshMs, and handles the window's messages.
    void Show(const std::string& strStep, int nDone, int nTotal);

    static constexpr const char* kClassName = "GridwrightProgress";
    static constexpr DWORD kRefreshMs = 50;

private:
    HWND m_hWnd = nullptr;
    HWND m_hText = nullptr;
    HWND m_hBar = nullptr;
    std::string m_strStep;
    DWORD m_nLastRefresh = 0;
    bool m_bRefreshed = false;
};
