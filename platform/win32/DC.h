#pragma once

#include <windows.h>

// A device context. Made from a window it is that window's DC (GetDC), given back when the object
// ends; made from a DC handle it only borrows it (for memory DCs, which their maker deletes).
class CDC {
public:
    explicit CDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)), m_bRelease(true) {}
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() {
        if (m_bRelease && m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

protected:
    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;

private:
    bool m_bRelease = false;
};

// The DC of a WM_PAINT handler: BeginPaint now, EndPaint when the object ends.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : CDC(static_cast<HDC>(nullptr)) {
        m_hWnd = hWnd;
        m_hDC = ::BeginPaint(hWnd, &m_ps);
    }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }

private:
    PAINTSTRUCT m_ps{};
};
