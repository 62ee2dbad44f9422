#pragma once

#include "lists/InstallerWindow.h"
#include "lists/ResourceIds.h"

#include <string>

// A window that keeps nothing but counts, so that a measured load pays for the installer's own
// work and not for list boxes or an image list.
class CCountingWindow : public CInstallerWindow {
public:
    int GetCurSel(int) const override { return -1; }
    void AddString(int nListId, const std::string&) override { ++Count(nListId); }
    void InsertString(int nListId, int, const std::string&) override { ++Count(nListId); }
    void DeleteString(int nListId, int) override { --Count(nListId); }
    void SetCurSel(int, int) override {}
    int GetCount(int nListId) const override {
        return nListId == IDC_AVAILABLE ? m_nAvailable : m_nInstalled;
    }
    std::string GetText(int, int) const override { return {}; }
    void SetInfoText(int, const std::string&) override {}
    void SetImage(int, int) override {}
    void CreateImageList() override { m_nPictures = 0; }
    int AddPicture(const std::uint8_t*) override { return m_nPictures++; }
    void EndDialog(int) override {}
    void EnableOk(bool) override {}
    void ReportError(const std::string& strMessage) override {
        ++m_nErrors;
        m_strLastError = strMessage;
    }

    int m_nAvailable = 0;
    int m_nInstalled = 0;
    int m_nPictures = 0;
    int m_nErrors = 0;
    std::string m_strLastError;

private:
    int& Count(int nListId) { return nListId == IDC_AVAILABLE ? m_nAvailable : m_nInstalled; }
};
