#include <windows.h>

#include <commctrl.h>

namespace {

constexpr int kDialogId = 1;

INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM) {
    switch (nMessage) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SHOWWINDOW:
        // Closes at the moment the installer would have its lists filled, when the installer
        // would close too; otherwise it stays open for gw_start_driver, as the installer does.
        if (wParam != 0 && ::GetEnvironmentVariableA("GRIDWRIGHT_EXIT_AFTER_LOAD", nullptr, 0) > 0)
            ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        return FALSE;
    case WM_CLOSE:
        ::EndDialog(hWnd, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

// gw_trivial_dialog: a dialog program that does nothing but open and close, started the same way
// as the installer; its start-up is the floor the installer's start-up is measured against.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);
    ::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(kDialogId), nullptr, DialogProc, 0);
    return 0;
}
