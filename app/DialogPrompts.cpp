#include "app/DialogPrompts.h"

#include "platform/win32/WinApp.h"

#include <cstdlib>

void CDialogPrompts::Attach(HWND hDialog, HICON hIcon, HICON hSmallIcon) {
    m_hDialog = hDialog;
    m_hIcon = hIcon;
    m_hSmallIcon = hSmallIcon;
}

void CDialogPrompts::BeginLoad() {
    m_nLoadStart = ::GetTickCount();
    // For testing the progress window (tests/app/gui): a pause in milliseconds after each file
    // makes a small folder load slowly.
    char szDelay[16] = {};
    m_nLoadDelayMs =
        ::GetEnvironmentVariableA("GRIDWRIGHT_LOAD_DELAY_MS", szDelay, sizeof szDelay) > 0
            ? static_cast<DWORD>(std::strtoul(szDelay, nullptr, 10))
            : 0;
}

void CDialogPrompts::EndLoad() {
    m_pProgress.reset();
    m_nLoadStart.reset();
}

void CDialogPrompts::ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) {
    if (m_nLoadDelayMs > 0)
        ::Sleep(m_nLoadDelayMs);
    if (!m_pProgress) {
        if (!m_nLoadStart || ::GetTickCount() - *m_nLoadStart < kProgressDelayMs)
            return;
        m_pProgress = std::make_unique<CProgressWindow>(m_hDialog, m_hIcon, m_hSmallIcon);
    }
    m_pProgress->Show(strStep, nDone, nTotal);
}

void CDialogPrompts::ReportError(const std::string& strMessage) {
    ShowErrorMessage(m_hDialog, strMessage);
}

bool CDialogPrompts::AskYesNo(const std::string& strQuestion) {
    return AskYesNoQuestion(m_hDialog, strQuestion);
}
