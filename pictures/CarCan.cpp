#include "pictures/CarCan.h"

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
