#include "pictures/CarCan.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kFrameSubclass = 1;

} // namespace

CCarCan::~CCarCan() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::RemoveWindowSubclass(m_hWnd, FrameProc, kFrameSubclass);
}

void CCarCan::AttachFrame(HWND hFrame) {
    Attach(hFrame);
    ::SetWindowSubclass(hFrame, FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void CCarCan::SetImage(const CImageList* pImageList, int nImage) {
    if (nImage == -1)
        return;
    m_pImageList = pImageList;
    m_nImage = nImage;
    CClientDC dc(GetSafeHwnd());
    OnDraw(dc);
}

void CCarCan::OnDraw(CDC& dc) {
    if (m_pImageList != nullptr && m_nImage >= 0)
        m_pImageList->Draw(m_nImage, dc.GetSafeHdc(), 0, 0, ILD_NORMAL);
}

LRESULT CALLBACK CCarCan::FrameProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR pView) {
    if (nMessage == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, FrameProc, kFrameSubclass);
        reinterpret_cast<CCarCan*>(pView)->Detach();
    }
    const LRESULT lResult = ::DefSubclassProc(hWnd, nMessage, wParam, lParam);
    if (nMessage == WM_PAINT) {
        // The frame has drawn itself and validated its area; the picture goes over it, into the
        // DC a caller may pass as controls take it.
        auto& view = *reinterpret_cast<CCarCan*>(pView);
        if (wParam != 0) {
            CDC dc(reinterpret_cast<HDC>(wParam));
            view.OnDraw(dc);
        } else {
            CClientDC dc(hWnd);
            view.OnDraw(dc);
        }
    }
    return lResult;
}
