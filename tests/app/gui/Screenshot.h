#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include <windows.h>

// Captures a window as it shows on the screen into a 24-bit .bmp file; gives the number of
// distinct colours in the picture, so a caller can tell a drawn window from a blank one.
std::size_t SaveScreenshot(HWND hWindow, const std::filesystem::path& bmp);

// A window as it shows on the screen, 24 bits a pixel.
struct CWindowPicture {
    int nWidth = 0;
    int nHeight = 0;
    std::size_t nStride = 0;
    std::vector<std::uint8_t> aBits; // blue, green, red; rows from the bottom
    // The pixel as 0xRRGGBB, counted from the top left.
    std::uint32_t At(int x, int y) const;
};
CWindowPicture CaptureWindow(HWND hWindow);
