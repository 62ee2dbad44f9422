#include "platform/win32/Bitmap.h"

#include <cstring>
#include <stdexcept>

void CBitmap::CreatePicture(int nWidth, int nHeight, const std::uint8_t* pPixels) {
    if (!m_hBitmap || nWidth != m_nWidth || nHeight != m_nHeight) {
        m_hBitmap.reset();
        m_pBits = nullptr;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight; // top-down, as the buffer's rows come
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hBitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
        if (!m_hBitmap || pBits == nullptr) {
            m_hBitmap.reset();
            throw std::runtime_error(
                "Could not make a bitmap for a car picture: the system refused it.");
        }
        m_pBits = static_cast<std::uint8_t*>(pBits);
        m_nWidth = nWidth;
        m_nHeight = nHeight;
    }
    // DIB rows are padded to whole DWORDs; the buffer's rows are not.
    const std::size_t nRow = 3u * static_cast<std::size_t>(nWidth);
    const std::size_t nStride = (nRow + 3u) & ~std::size_t{3};
    ::GdiFlush(); // nothing may still be drawing from the pixels about to change
    for (int y = 0; y < nHeight; ++y)
        std::memcpy(m_pBits + nStride * static_cast<std::size_t>(y),
                    pPixels + nRow * static_cast<std::size_t>(y), nRow);
    ::GdiFlush();
}
