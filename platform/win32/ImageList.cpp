#include "platform/win32/ImageList.h"

#include <stdexcept>

CImageList::~CImageList() {
    if (m_hImageList != nullptr)
        ::ImageList_Destroy(m_hImageList);
}

void CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    if (m_hImageList != nullptr)
        ::ImageList_Destroy(m_hImageList);
    m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    if (m_hImageList == nullptr)
        throw std::runtime_error("Could not make the list of car pictures: the system refused it.");
}

int CImageList::Add(const CBitmap& bitmap) {
    const int nIndex = m_hImageList != nullptr
                           ? ::ImageList_AddMasked(m_hImageList, bitmap.GetSafeHandle(), CLR_NONE)
                           : -1;
    if (nIndex < 0)
        throw std::runtime_error("Could not add a car picture to the list of pictures: the system "
                                 "refused it.");
    return nIndex;
}

bool CImageList::Draw(int nImage, HDC hDC, int x, int y, UINT nStyle) const {
    return m_hImageList != nullptr && ::ImageList_Draw(m_hImageList, nImage, hDC, x, y, nStyle);
}

int CImageList::GetImageCount() const {
    return m_hImageList != nullptr ? ::ImageList_GetImageCount(m_hImageList) : 0;
}
