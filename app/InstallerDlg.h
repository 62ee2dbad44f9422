#pragma once

#include "lists/InstallerCore.h"
#include "lists/InstallerWindow.h"
#include "lists/ResourceIds.h"
#include "pictures/CarCan.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/ImageList.h"

#include <memory>

// The main dialog: the installer's logic over the dialog's real controls.
class CInstallerDlg : public CDialog, private CInstallerWindow, public CInstallerCore {
public:
    static constexpr int IDD = IDD_GRIDWRIGHT_DIALOG;
    static constexpr int kImageListGrowth = 256; // pictures added to the image list's room at once

    CInstallerDlg();

private:
    using Row = CMessageMapEntry<CInstallerDlg>;
    // Defined with its rows in InstallerDlg.cpp; a member, so that its handlers can stay private.
    static const Row s_aMessageMap[];

    BOOL OnInitDialog() override;
    bool OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(const MSG& msg) override;

    // Window chores of the message map.
    bool OnSysCommand(UINT nId);
    void OnInitMenuPopup(HMENU hMenu);
    void OnRestoreList();
    void OnNotRead();
    bool OnPaint();
    HICON OnQueryDragIcon() const { return m_hIcon; }
    bool OnClose() { return false; } // default: ends as Cancel, writes nothing
    void OnShowWindowWaiting(bool bShow);

    // CInstallerWindow over the controls.
    int GetCurSel(int nListId) const override;
    void AddString(int nListId, const std::string& str) override;
    void InsertString(int nListId, int nIndex, const std::string& str) override;
    void DeleteString(int nListId, int nIndex) override;
    void SetCurSel(int nListId, int nIndex) override;
    int GetCount(int nListId) const override;
    std::string GetText(int nListId, int nIndex) const override;
    void SetInfoText(int nBoxId, const std::string& str) override;
    void SetImage(int nFrameId, int nImage) override;
    void CreateImageList() override;
    int AddPicture(const std::uint8_t* pPicture) override;
    void EndDialog(int nResult) override { CDialog::EndDialog(nResult); }
    void EnableOk(bool bEnable) override;
    void ReportError(const std::string& strMessage) override;
    bool AskYesNo(const std::string& strQuestion) override;

    HICON m_hIcon = nullptr;      // shared with the system (LR_SHARED): not destroyed here
    HICON m_hSmallIcon = nullptr; // likewise
    std::unique_ptr<CImageList> m_pImageList;
    std::unique_ptr<CCarCan> m_pInstalledView;
    std::unique_ptr<CCarCan> m_pAvailableView;

    LRESULT SendItem(int nId, UINT nMessage, WPARAM wParam, LPARAM lParam) const {
        return ::SendDlgItemMessageA(m_hWnd, nId, nMessage, wParam, lParam);
    }
};
