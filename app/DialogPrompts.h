#pragma once

#include "app/ProgressWindow.h"
#include "lists/InstallerWindow.h"

#include <windows.h>

#include <memory>
#include <optional>

// What the model asks of the player, answered over the main dialog: message boxes, and the
// progress window while a long load runs.
class CDialogPrompts : public CInstallerWindow {
public:
    static constexpr DWORD kProgressDelayMs = 500; // a load shorter than this shows no progress

    void Attach(HWND hDialog, HICON hIcon, HICON hSmallIcon);
    // Around a load: the progress window shows once it has taken kProgressDelayMs, and goes at
    // its end.
    void BeginLoad();
    void EndLoad();

    void ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) override;
    void ReportError(const std::string& strMessage) override;
    bool AskYesNo(const std::string& strQuestion) override;

private:
    HWND m_hDialog = nullptr;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    std::unique_ptr<CProgressWindow> m_pProgress; // while a long load runs
    std::optional<DWORD> m_nLoadStart;            // while a load runs
    DWORD m_nLoadDelayMs = 0;                     // pause after each file, for tests
};
