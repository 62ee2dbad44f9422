#pragma once

#include <cstddef>
#include <filesystem>

#include <windows.h>

// Captures a window as it shows on the screen into a 24-bit .bmp file; gives the number of
// distinct colours in the picture, so a caller can tell a drawn window from a blank one.
std::size_t SaveScreenshot(HWND hWindow, const std::filesystem::path& bmp);
