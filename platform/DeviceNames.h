#pragma once

#include <string_view>

// True when Windows would open a device, not a file, for this path component: CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9, CONIN$ or CONOUT$ in any case, whatever extension follows.
bool IsDeviceName(std::string_view strComponent);
