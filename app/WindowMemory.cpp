#include "app/WindowMemory.h"

#include "platform/win32/RegistryKey.h"

#include <cstdint>
#include <span>

namespace {

// Beyond any desktop lies a damaged place; sums with one in reach cannot overflow.
constexpr bool InReach(std::int32_t n) {
    constexpr std::int32_t kFarthest = 1'000'000;
    return n > -kFarthest && n < kFarthest;
}

// How far workspace co-ordinates (a minimised window's normal place) stand from the screen's: by
// the part of the primary monitor that its work area leaves out at the top and left.
POINT WorkspaceOffset() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoA(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return {0, 0};
    return {monitor.rcWork.left - monitor.rcMonitor.left,
            monitor.rcWork.top - monitor.rcMonitor.top};
}

} // namespace

CWindowMemory CWindowMemory::Read() {
    CWindowMemory memory;
    const CRegistryKey key = CRegistryKey::Open(HKEY_CURRENT_USER, kKey);
    memory.m_bShowPictures = key.ReadDword(kShowPicturesValue) == DWORD{1};
    std::int32_t anPlace[2] = {};
    if (key.ReadBinary(kPlaceValue, std::as_writable_bytes(std::span(anPlace))) &&
        InReach(anPlace[0]) && InReach(anPlace[1]))
        memory.m_ptPlace = POINT{anPlace[0], anPlace[1]};
    return memory;
}

void CWindowMemory::Write(HWND hWnd, bool bShowPictures) {
    RECT rcWindow{};
    if (!::IsIconic(hWnd)) {
        ::GetWindowRect(hWnd, &rcWindow);
    } else {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (!::GetWindowPlacement(hWnd, &placement))
            return;
        rcWindow = placement.rcNormalPosition;
        const POINT offset = WorkspaceOffset();
        ::OffsetRect(&rcWindow, offset.x, offset.y);
    }
    const std::int32_t anPlace[2] = {rcWindow.left, rcWindow.top};

    const CRegistryKey key = CRegistryKey::Create(HKEY_CURRENT_USER, kKey);
    key.WriteDword(kShowPicturesValue, bShowPictures ? 1 : 0);
    key.WriteBinary(kPlaceValue, std::as_bytes(std::span(anPlace)));
}

void CWindowMemory::RestorePlace(HWND hWnd) const {
    if (!m_ptPlace)
        return;
    RECT rcWindow{};
    ::GetWindowRect(hWnd, &rcWindow);
    ::OffsetRect(&rcWindow, m_ptPlace->x - rcWindow.left, m_ptPlace->y - rcWindow.top);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const HMONITOR hMonitor = ::MonitorFromRect(&rcWindow, MONITOR_DEFAULTTONULL);
    RECT rcInside{};
    // A monitor gone, another resolution: the window would stand partly out of reach.
    if (hMonitor == nullptr || !::GetMonitorInfoA(hMonitor, &monitor) ||
        !::IntersectRect(&rcInside, &rcWindow, &monitor.rcWork) ||
        !::EqualRect(&rcInside, &rcWindow))
        return;
    ::SetWindowPos(hWnd, nullptr, rcWindow.left, rcWindow.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
