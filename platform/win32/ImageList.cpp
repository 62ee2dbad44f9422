#include "platform/win32/ImageList.h"

#include <stdexcept>

void CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    m_hImageList.Reset();
    m_hImageList.Reset(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
    if (!m_hImageList)
        throw std::runtime_error("Could not make the list of car pictures: the system refused it.");
}

int CImageList::Add(const CBitmap& bitmap) {
    const int nIndex =
        m_hImageList ? ::ImageList_AddMasked(m_hImageList.Get(), bitmap.GetSafeHandle(), CLR_NONE)
                     : -1;
    if (nIndex < 0)
        throw std::runtime_error("Could not add a car picture to the list of pictures: the system "
                                 "refused it.");
    return nIndex;
}

bool CImageList::Draw(int nImage, HDC hDC, int x, int y, UINT nStyle) const {
    return m_hImageList && ::ImageList_Draw(m_hImageList.Get(), nImage, hDC, x, y, nStyle);
}

int CImageList::GetImageCount() const {
    return m_hImageList ? ::ImageList_GetImageCount(m_hImageList.Get()) : 0;
}
