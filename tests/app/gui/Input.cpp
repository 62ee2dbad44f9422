#include "Input.h"

#include <stdexcept>
#include <vector>

namespace {

constexpr DWORD kStepMs = 40;
constexpr int kDragSteps = 8;

void Send(std::vector<INPUT> aInputs) {
    const UINT nSent = SendInput(static_cast<UINT>(aInputs.size()), aInputs.data(), sizeof(INPUT));
    if (nSent != aInputs.size())
        throw std::runtime_error("the system took " + std::to_string(nSent) + " of " +
                                 std::to_string(aInputs.size()) + " input events");
}

INPUT Key(WORD nKey, bool bUp) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = nKey;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(nKey, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    // These keys sit in the extended block, away from the number pad's.
    switch (nKey) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_INSERT:
    case VK_DELETE:
    case VK_PRIOR:
    case VK_NEXT:
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    return in;
}

INPUT Mouse(DWORD dwFlags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = dwFlags;
    return in;
}

} // namespace

namespace input {

void Keys(std::initializer_list<WORD> aKeys) {
    std::vector<INPUT> aInputs;
    for (const WORD nKey : aKeys)
        aInputs.push_back(Key(nKey, false));
    for (auto it = std::rbegin(aKeys); it != std::rend(aKeys); ++it)
        aInputs.push_back(Key(*it, true));
    Send(aInputs);
}

void Type(const std::string& str) {
    for (const char c : str) {
        const SHORT nScan = VkKeyScanA(c);
        if (nScan == -1)
            throw std::runtime_error(std::string("no key types '") + c + "'");
        const auto nKey = static_cast<WORD>(LOBYTE(nScan));
        if (HIBYTE(nScan) & 1)
            Keys({VK_SHIFT, nKey});
        else
            Keys({nKey});
        Sleep(kStepMs);
    }
}

void MoveTo(POINT pt) {
    // Absolute co-ordinates run from 0 to 65535 across the primary screen.
    const int nWidth = GetSystemMetrics(SM_CXSCREEN);
    const int nHeight = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    in.mi.dx = static_cast<LONG>((pt.x * 65536LL + nWidth / 2) / nWidth);
    in.mi.dy = static_cast<LONG>((pt.y * 65536LL + nHeight / 2) / nHeight);
    Send({in});
    Sleep(kStepMs);
}

void LeftDown() {
    Send({Mouse(MOUSEEVENTF_LEFTDOWN)});
    Sleep(kStepMs);
}

void LeftUp() {
    Send({Mouse(MOUSEEVENTF_LEFTUP)});
    Sleep(kStepMs);
}

void Drag(POINT from, POINT to) {
    MoveTo(from);
    LeftDown();
    for (int i = 1; i <= kDragSteps; ++i)
        MoveTo(
            {from.x + (to.x - from.x) * i / kDragSteps, from.y + (to.y - from.y) * i / kDragSteps});
    Sleep(4 * kStepMs);
    LeftUp();
}

void Click(POINT pt, WORD nHeldKey) {
    MoveTo(pt);
    if (nHeldKey != 0)
        Send({Key(nHeldKey, false)});
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
    if (nHeldKey != 0)
        Send({Key(nHeldKey, true)});
    Sleep(kStepMs);
}

void DoubleClick(POINT pt) {
    MoveTo(pt);
    Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP), Mouse(MOUSEEVENTF_LEFTDOWN),
          Mouse(MOUSEEVENTF_LEFTUP)});
    Sleep(kStepMs);
}

} // namespace input
