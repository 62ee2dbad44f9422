// Presses Can in the running Gridwright dialog: scripts/run.sh closes the program it opened this
// way, writing nothing. The dialog is found by its caption on the named Wine desktop (the current
// one without an argument), the button by its id, so the dialog's layout does not matter.
// Exits with 0 when the press was sent, 1 otherwise.
#include "app/ResourceIds.h"

#include <windows.h>

#include <cstdio>

int main(int nArgs, char** apszArgs) {
    if (nArgs > 1) {
        // A thread that owns no window yet may move to another desktop.
        HDESK hDesktop = ::OpenDesktopA(apszArgs[1], 0, FALSE, DESKTOP_READOBJECTS);
        if (hDesktop == nullptr || !::SetThreadDesktop(hDesktop)) {
            std::fprintf(stderr, "no desktop %s\n", apszArgs[1]);
            return 1;
        }
    }
    HWND hDialog = ::FindWindowA("#32770", "Gridwright");
    HWND hCan = hDialog != nullptr ? ::GetDlgItem(hDialog, IDC_CAN) : nullptr;
    if (hCan == nullptr) {
        std::fprintf(stderr, "no Gridwright dialog with its Can button\n");
        return 1;
    }
    // The button's own click notification: the dialog needs neither focus nor a mouse.
    return ::PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(IDC_CAN, BN_CLICKED),
                          reinterpret_cast<LPARAM>(hCan))
               ? 0
               : 1;
}
