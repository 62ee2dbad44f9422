#pragma once

#include "app/ProgressWindow.h"
#include "lists/InstallerCore.h"
#include "lists/InstallerWindow.h"
#include "lists/ResourceIds.h"
#include "pictures/CarCan.h"
#include "platform/win32/Bitmap.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/ImageList.h"

#include <commctrl.h>

#include <memory>
#include <optional>

// The main dialog: the installer's logic over the dialog's real controls.
class CInstallerDlg : public CDialog, private CInstallerWindow, public CInstallerCore {
public:
    static constexpr int IDD = IDD_GRIDWRIGHT_DIALOG;
    static constexpr int kImageListGrowth = 256; // pictures added to the image list's room at once
    // With the pictures shown, the frames stand this many dialog units from the top, and the
    // dialog ends this many below them.
    static constexpr int kPicturesTop = 297; // 7 below the group boxes
    static constexpr int kPicturesMargin = 7;
    static constexpr DWORD kProgressDelayMs = 500; // a load shorter than this shows no progress

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
    void FocusAfterLoad();

    // Checked: the dialog grows to show both picture frames side by side below the description
    // boxes; unchecked: the template's layout and size.
    void ShowPictures(bool bShow);

    // The list boxes' keys and typing come to the dialog first; the subclass id is the list's id.
    static LRESULT CALLBACK ListProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR nListId, DWORD_PTR pDialog);
    // False leaves the key to the list box.
    bool OnListKey(int nListId, UINT nKey);
    bool OnListChar(int nListId, char c);

    // Drag and drop: a drag list's notification, and the drag list's answer.
    LRESULT OnDragList(const DRAGLISTINFO& info);
    struct DropTarget {
        int nListId = 0;    // 0: not over a list
        int nPosition = -1; // in the installed list: the line the car goes before (count: last)
    };
    // Where a car dropped at the screen point would go; bScroll scrolls the installed list when
    // the point is just above or below it.
    DropTarget FindDropTarget(POINT pt, bool bScroll) const;
    // Marks the installed line a dragged car would go before; -1 takes the mark away.
    void ShowInsertMark(int nPosition);

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
    void ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) override;
    void EndDialog(int nResult) override { CDialog::EndDialog(nResult); }
    void EnableOk(bool bEnable) override;
    void ReportError(const std::string& strMessage) override;
    bool AskYesNo(const std::string& strQuestion) override;

    HICON m_hIcon = nullptr;      // shared with the system (LR_SHARED): not destroyed here
    HICON m_hSmallIcon = nullptr; // likewise
    std::unique_ptr<CImageList> m_pImageList;
    CBitmap m_picture; // carries each picture to the image list
    std::unique_ptr<CCarCan> m_pInstalledView;
    std::unique_ptr<CCarCan> m_pAvailableView;
    std::unique_ptr<CProgressWindow> m_pProgress; // while a long load runs
    std::optional<DWORD> m_nLoadStart;            // while a load runs
    DWORD m_nLoadDelayMs = 0;                     // pause after each file, for tests

    bool m_bShowPictures = false;
    SIZE m_sizeDesign{}; // the window's size as the template makes it
    int m_nDesignClientHeight = 0;
    RECT m_rcInstalledFrame{}; // the frames' places in it, in client co-ordinates
    RECT m_rcAvailableFrame{};
    int m_nDragList = 0; // the list a drag started in, 0 when none is under way
    int m_nDragItem = -1;
    int m_nInsertMark = -1; // the line marked, and the list's top line when it was marked
    int m_nInsertMarkTop = -1;
    static constexpr int kInsertMarkReach = 16; // pixels of the mark within the list box

    HWND Item(int nId) const { return ::GetDlgItem(m_hWnd, nId); }
    LRESULT SendItem(int nId, UINT nMessage, WPARAM wParam, LPARAM lParam) const {
        return ::SendDlgItemMessageA(m_hWnd, nId, nMessage, wParam, lParam);
    }
};
