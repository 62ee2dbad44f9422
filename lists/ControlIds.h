#pragma once

// Control ids of the main dialog, shared by the resource script and the installer's logic.
// Plain macros would be needed by windres; the resource script has its own copy in app/resource.h.
enum ControlId : int {
    IDC_AVAILABLE = 1000,
    IDC_INSTALLED = 1001,
    IDC_INSTALL = 1002,
    IDC_UNINSTALL = 1003,
    IDC_DOWN = 1005,
    IDC_UP = 1006,
    IDC_AVAILABLE_INFO = 1008,
    IDC_INSTALLED_INFO = 1009,
    IDC_INSTALLED_PICTURE = 1017,
    IDC_AVAILABLE_PICTURE = 1018,
    IDC_CAN = 1026,
    IDC_OK = 1027,
};

inline constexpr int kDialogCancel = 2; // the dialog result "cancel"
