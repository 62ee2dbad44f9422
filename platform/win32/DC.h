#pragma once

#include <windows.h>

// A device context the object only borrows (a memory DC, say, which its maker deletes). The two
// kinds below own theirs, each given back in the way it was taken.
class CDC {
public:
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

protected:
    HDC m_hDC = nullptr;
};

// A window's DC for drawing outside WM_PAINT: GetDC now, ReleaseDC when the object ends.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~CClientDC() override {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// The DC of a WM_PAINT handler: BeginPaint now, EndPaint when the object ends.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : CDC(nullptr), m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};
