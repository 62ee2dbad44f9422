#pragma once

#include <windows.h>

#include <string>

// Wraps a window handle. The wrapper does not own the window: the dialog manager creates and
// destroys the dialog and its controls.
class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach() {
        HWND hWnd = m_hWnd;
        m_hWnd = nullptr;
        return hWnd;
    }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // A temporary wrapper of a child control; its handle may be detached and kept elsewhere.
    CWnd GetDlgItem(int nId) const { return CWnd(::GetDlgItem(m_hWnd, nId)); }

protected:
    HWND m_hWnd = nullptr;
};

// A window's text, whole.
std::string GetWindowString(HWND hWnd);
