#include "app/PictureList.h"

#include <stdexcept>

void CPictureList::CreateImageList() {
    auto pImageList = std::make_unique<CImageList>();
    // The list copies all its pictures each time it grows: growing by one picture at a time
    // made loading 4000 pictures take a minute instead of seconds.
    pImageList->Create(kPictureWidth, kPictureHeight, ILC_COLOR24, 1, kImageListGrowth);
    m_pImageList = std::move(pImageList);
}

int CPictureList::AddPicture(const std::uint8_t* pPicture) {
    if (m_pImageList == nullptr)
        throw std::logic_error("A car picture was added before the list of pictures was made.");
    // The list keeps its own copy, so one bitmap carries every picture to it: making a bitmap
    // for each of thousands of pictures asked the system for memory thousands of times.
    m_picture.CreatePicture(kPictureWidth, kPictureHeight, pPicture);
    return m_pImageList->Add(m_picture);
}
