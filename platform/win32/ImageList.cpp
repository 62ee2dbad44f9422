#include "platform/win32/ImageList.h"

#include <algorithm>
#include <stdexcept>

void CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    m_hImageList.reset();
    m_nCount = 0;
    m_nRoom = 0;
    m_nGrow = std::max(nGrow, 1);
    m_hImageList.reset(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
    if (!m_hImageList)
        throw std::runtime_error("Could not make the list of car pictures: the system refused it.");
}

int CImageList::Add(const CBitmap& bitmap) {
    // The system's own growth copies every picture the list holds, by a step it keeps to a few
    // hundred: thousands of pictures were copied over and over, seconds of a big load. Growing by
    // as much as the list holds copies each picture about once; a picture goes into its place.
    bool bAdded = static_cast<bool>(m_hImageList);
    if (bAdded && m_nCount == m_nRoom) {
        const int nRoom = std::max(2 * m_nRoom, m_nCount + m_nGrow);
        bAdded = ::ImageList_SetImageCount(m_hImageList.get(), static_cast<UINT>(nRoom)) != FALSE;
        if (bAdded)
            m_nRoom = nRoom;
    }
    if (bAdded)
        bAdded = ::ImageList_Replace(m_hImageList.get(), m_nCount, bitmap.GetSafeHandle(),
                                     nullptr) != FALSE;
    if (!bAdded)
        throw std::runtime_error("Could not add a car picture to the list of pictures: the system "
                                 "refused it.");
    return m_nCount++;
}

bool CImageList::Draw(int nImage, HDC hDC, int x, int y, UINT nStyle) const {
    return m_hImageList && nImage >= 0 && nImage < m_nCount &&
           ::ImageList_Draw(m_hImageList.get(), nImage, hDC, x, y, nStyle);
}

int CImageList::GetImageCount() const {
    return m_nCount;
}
