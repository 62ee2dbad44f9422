#pragma once

#include "platform/UniqueHandle.h"
#include "platform/win32/Bitmap.h"

#include <windows.h>

#include <commctrl.h>

// Owns an image list handle.
class CImageList {
public:
    // Raises std::runtime_error when the system cannot make the list. Its room grows by at least
    // nGrow pictures, and by as many as it holds when that is more.
    void Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // Adds a copy of the bitmap and gives its index; the list has no mask, so no mask colour
    // applies. Raises std::runtime_error when the list refuses it, so indexes never drift.
    int Add(const CBitmap& bitmap);
    bool Draw(int nImage, HDC hDC, int x, int y, UINT nStyle) const;
    int GetImageCount() const;

    HIMAGELIST GetSafeHandle() const { return m_hImageList.get(); }

private:
    CUniqueHandle<HIMAGELIST, &::ImageList_Destroy> m_hImageList;
    int m_nCount = 0; // pictures added
    int m_nRoom = 0;  // places made for pictures, the count the system holds
    int m_nGrow = 1;
};
