#pragma once

#include <cstddef>
#include <cstdint>

// Where composed car pictures go: the image list the views draw from. The Windows dialog keeps a
// real one; the tests keep the pixels in memory.
class CPictureSink {
public:
    static constexpr int kPictureWidth = 192;
    static constexpr int kPictureHeight = 128;
    static constexpr std::size_t kPictureBytes = 3u * kPictureWidth * kPictureHeight; // 73,728

    virtual ~CPictureSink() = default;

    // Creates the image list empty, then adds one picture (blue, green, red, rows from the top,
    // kPictureBytes bytes) and gives its index.
    virtual void CreateImageList() = 0;
    virtual int AddPicture(const std::uint8_t* pPicture) = 0;
};
