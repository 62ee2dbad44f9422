#pragma once

#include "platform/win32/ImageList.h"
#include "platform/win32/View.h"

// Draws one picture of the dialog's image list into a frame control it is attached to: at once
// when SetImage is told, and again whenever the frame paints (uncovered, moved, shown).
class CCarCan : public CView {
public:
    CCarCan() = default;
    ~CCarCan() override;
    CCarCan(const CCarCan&) = delete;
    CCarCan& operator=(const CCarCan&) = delete;

    // Attaches the view to the frame and routes the frame's painting through it.
    void AttachFrame(HWND hFrame);
    // -1 leaves list, index and the picture on screen as they were; any other index is stored and
    // drawn into the window at once.
    void SetImage(const CImageList* pImageList, int nImage);
    void OnDraw(CDC& dc) override;

    const CImageList* m_pImageList = nullptr; // not owned
    int m_nImage = -1;

private:
    static LRESULT CALLBACK FrameProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR nId, DWORD_PTR pView);
};
