#pragma once

#include <windows.h>

#include <optional>

// What the main window keeps of itself between runs, per user under HKEY_CURRENT_USER\kKey:
// whether the pictures show, and where the window stood. Nothing else is kept; a value that is
// missing or damaged (another type or size, a number out of range) is passed over.
class CWindowMemory {
public:
    static constexpr const char* kKey = "Software\\Gridwright";
    // A DWORD, 0 or 1.
    static constexpr const char* kShowPicturesValue = "ShowPictures";
    // 8 bytes: the window's left and top edges on the screen, each a 32-bit signed number.
    static constexpr const char* kPlaceValue = "WindowPlace";

    [[nodiscard]] static CWindowMemory Read();
    // Keeps the window's place (its normal place when minimised) and whether the pictures show.
    // A failure loses only the convenience, so it is not reported.
    static void Write(HWND hWnd, bool bShowPictures);

    // Moves the window, at its size now, to the kept place when it lies there wholly inside the
    // work area of a monitor; otherwise it stays where it is (centred, as it opens).
    void RestorePlace(HWND hWnd) const;

    bool m_bShowPictures = false;

private:
    std::optional<POINT> m_ptPlace;
};
