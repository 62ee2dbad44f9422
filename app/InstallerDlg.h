#pragma once

#include "app/AboutDlg.h"
#include "app/DialogPrompts.h"
#include "app/ListDrag.h"
#include "app/PictureList.h"
#include "app/ResourceIds.h"
#include "lists/InstallerCore.h"
#include "pictures/CarCan.h"
#include "platform/win32/Dialog.h"

#include <memory>
#include <optional>

// The main dialog: turns the player's input into the model's commands and draws what the model
// holds.
class CInstallerDlg : public CMapDialog<CInstallerDlg> {
public:
    static constexpr int IDD = IDD_GRIDWRIGHT_DIALOG;
    // With the pictures shown, the frames stand this many dialog units from the top, and the
    // dialog ends this many below them.
    static constexpr int kPicturesTop = 297; // 7 below the group boxes
    static constexpr int kPicturesMargin = 7;

    CInstallerDlg();

private:
    // Defined with its rows in InstallerDlg.cpp; a member, so that its handlers can stay private.
    static const Row s_aMessageMap[];

    BOOL OnInitDialog() override;

    // The buttons', keys' and lists' handlers: each one command of the model.
    void OnInstall() { Run(command::Install{}); }
    void OnUninstall() { Run(command::Uninstall{}); }
    void OnUp() { Run(command::Up{}); }
    void OnDown() { Run(command::Down{}); }
    void OnTop() { Run(command::Top{}); }
    void OnBottom() { Run(command::Bottom{}); }
    void OnUndo() { Run(command::Undo{}); }
    void OnRedo() { Run(command::Redo{}); }
    template <int nListId> void OnSelChange();
    template <int nListId> void OnDoubleClick();
    void OnOk();
    void OnCan();
    // Hands the command to the model (none: nothing) and draws what changed; an error leaves the
    // model as it was and is shown.
    void Run(std::optional<ListCommand> command);
    // Brings the list boxes, selections, descriptions, pictures and Ok to what the model holds.
    void Draw(const ModelChange& change);
    void DrawLines(CarList list, const LineChange& lines);

    // Window chores of the message map.
    void OnAbout() { CAboutDlg(this).DoModal(); }
    void OnShowPictures() { ShowPictures(!m_bShowPictures); }
    void OnInitMenuPopup(HMENU hMenu);
    void OnRestoreList();
    void OnNotRead();
    bool OnPaint();
    void OnShowWindowWaiting(bool bShow);
    void FocusAfterLoad();

    // Checked: the dialog grows to show both picture frames side by side below the description
    // boxes; unchecked: the template's layout and size.
    void ShowPictures(bool bShow);

    // Rows for keys and typed characters on their way to the list nListId, and for Ctrl+Z, Ctrl+Y
    // and Ctrl+Shift+Z on their way to any control. False leaves the key to the control.
    template <int nListId>
    static bool OnListKey(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&);
    template <int nListId>
    static bool OnListChar(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&);
    static bool OnUndoKey(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&);

    CDialogPrompts m_prompts;
    CPictureList m_pictures;
    CInstallerCore m_core{m_prompts, m_pictures};
    HICON m_hIcon = nullptr;      // shared with the system (LR_SHARED): not destroyed here
    HICON m_hSmallIcon = nullptr; // likewise
    std::unique_ptr<CCarCan> m_pInstalledView;
    std::unique_ptr<CCarCan> m_pAvailableView;

    bool m_bShowPictures = false;
    SIZE m_sizeDesign{}; // the window's size as the template makes it
    int m_nDesignClientHeight = 0;
    RECT m_rcInstalledFrame{}; // the frames' places in it, in client co-ordinates
    RECT m_rcAvailableFrame{};
    CListDrag m_drag{nullptr}; // given the window in OnInitDialog

    HWND Item(int nId) const { return ::GetDlgItem(m_hWnd, nId); }
    LRESULT SendItem(int nId, UINT nMessage, WPARAM wParam, LPARAM lParam) const {
        return ::SendDlgItemMessageA(m_hWnd, nId, nMessage, wParam, lParam);
    }
};
