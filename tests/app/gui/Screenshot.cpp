#include "Screenshot.h"

#include <cstdint>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

namespace {

// Releases the GDI objects of one capture on every path out.
struct SCapture {
    HDC hScreen = nullptr;
    HDC hMemory = nullptr;
    HBITMAP hBitmap = nullptr;
    HGDIOBJ hOld = nullptr;
    ~SCapture() {
        if (hOld)
            SelectObject(hMemory, hOld);
        if (hBitmap)
            DeleteObject(hBitmap);
        if (hMemory)
            DeleteDC(hMemory);
        if (hScreen)
            ReleaseDC(nullptr, hScreen);
    }
};

template <typename T> void Put(std::string& str, const T& value) {
    str.append(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

CWindowPicture CaptureWindow(HWND hWindow) {
    RECT rect{};
    if (!GetWindowRect(hWindow, &rect))
        throw std::runtime_error("cannot get the window's rectangle");
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    if (nWidth <= 0 || nHeight <= 0)
        throw std::runtime_error("the window has no area");

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = nWidth;
    header.biHeight = nHeight; // bottom-up, as .bmp files usually are
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const std::size_t nStride = (static_cast<std::size_t>(nWidth) * 3 + 3) & ~std::size_t{3};
    const std::size_t nBytes = nStride * static_cast<std::size_t>(nHeight);

    // The window belongs to another process, so it is copied from the screen, not printed.
    SCapture capture;
    capture.hScreen = GetDC(nullptr);
    capture.hMemory = CreateCompatibleDC(capture.hScreen);
    void* pBits = nullptr;
    BITMAPINFO info{};
    info.bmiHeader = header;
    capture.hBitmap = CreateDIBSection(capture.hScreen, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!capture.hMemory || !capture.hBitmap || !pBits)
        throw std::runtime_error("cannot make a bitmap for the screenshot");
    capture.hOld = SelectObject(capture.hMemory, capture.hBitmap);
    if (!BitBlt(capture.hMemory, 0, 0, nWidth, nHeight, capture.hScreen, rect.left, rect.top,
                SRCCOPY))
        throw std::runtime_error("cannot copy the window from the screen");
    GdiFlush();

    CWindowPicture picture;
    picture.nWidth = nWidth;
    picture.nHeight = nHeight;
    picture.nStride = nStride;
    const auto* pPixels = static_cast<const std::uint8_t*>(pBits);
    picture.aBits.assign(pPixels, pPixels + nBytes);
    return picture;
}

std::uint32_t CWindowPicture::At(int x, int y) const {
    // Rows are stored from the bottom up.
    const std::uint8_t* p = aBits.data() + static_cast<std::size_t>(nHeight - 1 - y) * nStride +
                            static_cast<std::size_t>(x) * 3;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
}

std::size_t SaveScreenshot(HWND hWindow, const std::filesystem::path& bmp) {
    const CWindowPicture picture = CaptureWindow(hWindow);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < picture.nHeight; ++y)
        for (int x = 0; x < picture.nWidth; ++x)
            colours.insert(picture.At(x, y));

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = picture.nWidth;
    header.biHeight = picture.nHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(picture.aBits.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + picture.aBits.size());
    std::string strBytes;
    Put(strBytes, file);
    Put(strBytes, header);
    strBytes.append(reinterpret_cast<const char*>(picture.aBits.data()), picture.aBits.size());
    std::ofstream out(bmp, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + bmp.string());
    return colours.size();
}
