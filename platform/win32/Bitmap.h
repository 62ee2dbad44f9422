#pragma once

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstdint>

// Owns a bitmap handle.
class CBitmap {
public:
    // A 24-bit top-down DIB of nWidth x nHeight pixels from pPixels: blue, green, red, 3 * nWidth
    // bytes a row, rows from the top. A DIB keeps its colours whatever the display's depth, where a
    // device-dependent 24-bit bitmap turns black on a 32-bit display. A bitmap of the same size
    // made before is filled again rather than made anew. Raises std::runtime_error.
    void CreatePicture(int nWidth, int nHeight, const std::uint8_t* pPixels);

    HBITMAP GetSafeHandle() const { return m_hBitmap.get(); }

private:
    CUniqueHandle<HBITMAP, &::DeleteObject> m_hBitmap;
    std::uint8_t* m_pBits = nullptr; // the DIB's pixels, while m_hBitmap holds it
    int m_nWidth = 0;
    int m_nHeight = 0;
};
