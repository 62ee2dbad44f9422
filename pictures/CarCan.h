#pragma once

#include "platform/win32/ImageList.h"
#include "platform/win32/View.h"

// Draws one picture of the dialog's image list into a frame control it is attached to. The frame
// keeps its own window procedure, so the view draws only when told to by SetImage.
class CCarCan : public CView {
public:
    // -1 leaves list, index and the picture on screen as they were; any other index is stored and
    // drawn into the window at once.
    void SetImage(const CImageList* pImageList, int nImage);
    void OnDraw(CDC& dc) override;

    const CImageList* m_pImageList = nullptr; // not owned
    int m_nImage = -1;
};
