#pragma once

#include "platform/win32/WinApp.h"

// The application: runs the main dialog once and exits.
class CInstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
