#pragma once

#include "pictures/PictureSink.h"
#include "platform/win32/Bitmap.h"
#include "platform/win32/ImageList.h"

#include <memory>

// The image list the picture views draw from: the picture cache composes each car's picture into
// it when the picture is first to be drawn.
class CPictureList : public CPictureSink {
public:
    // Pictures the image list's room grows by at least (it doubles beyond): pictures come as they
    // are first shown, and a first step of hundreds made megabytes for one picture.
    static constexpr int kImageListGrowth = 8;

    void CreateImageList() override;
    int AddPicture(const std::uint8_t* pPicture) override;
    [[nodiscard]] const CImageList* GetImageList() const { return m_pImageList.get(); }

private:
    std::unique_ptr<CImageList> m_pImageList;
    CBitmap m_picture; // carries each picture to the image list
};
