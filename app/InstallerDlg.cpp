#include "app/InstallerDlg.h"

#include "app/ListSelection.h"
#include "app/ResourceIds.h"
#include "app/RestoreDlg.h"
#include "app/WindowMemory.h"
#include "app/WindowTexts.h"
#include "platform/win32/DC.h"
#include "platform/win32/WaitCursor.h"
#include "platform/win32/WinApp.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr const char* kShowPicturesText = "Show &Pictures";

// A child control's rectangle in the dialog's client co-ordinates.
RECT ChildRect(HWND hDialog, HWND hChild) {
    RECT rect{};
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

template <int nListId>
bool CInstallerDlg::OnListKey(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
    if (dlg.m_drag.IsUnderWay())
        return false; // the drag list takes Escape; nothing else changes the lists meanwhile
    // The keys of the list with the focus: whether Ctrl is down, the key, the handler.
    struct ListKey {
        int nList;
        bool bCtrl;
        WPARAM nKey;
        void (CInstallerDlg::*pfnCommand)();
    };
    static constexpr ListKey kListKeys[] = {
        {IDC_INSTALLED, false, VK_DELETE, &CInstallerDlg::OnUninstall},
        {IDC_AVAILABLE, false, VK_INSERT, &CInstallerDlg::OnInstall},
        {IDC_INSTALLED, true, VK_UP, &CInstallerDlg::OnUp},
        {IDC_INSTALLED, true, VK_DOWN, &CInstallerDlg::OnDown},
        {IDC_INSTALLED, true, VK_HOME, &CInstallerDlg::OnTop},
        {IDC_INSTALLED, true, VK_END, &CInstallerDlg::OnBottom},
    };
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    if (std::optional<ListCommand> command = SelectionKeyCommand(
            dlg.Item(nListId), ListOf(nListId), dlg.m_core.GetSelection(ListOf(nListId)), wParam)) {
        dlg.Run(std::move(command));
        return true;
    }
    for (const ListKey& key : kListKeys) {
        if (key.nList == nListId && key.bCtrl == bCtrl && key.nKey == wParam) {
            (dlg.*key.pfnCommand)();
            return true;
        }
    }
    return false;
}

template <int nListId>
bool CInstallerDlg::OnListChar(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
    // The character in the program's code page, as the car names are.
    const auto wc = static_cast<wchar_t>(wParam);
    char c = 0;
    BOOL bDefault = FALSE;
    if (dlg.m_drag.IsUnderWay() ||
        ::WideCharToMultiByte(CP_ACP, 0, &wc, 1, &c, 1, nullptr, &bDefault) != 1 || bDefault ||
        static_cast<unsigned char>(c) < ' ')
        return false;
    dlg.Run(command::TypeAhead{ListOf(nListId), c, static_cast<std::uint32_t>(::GetMessageTime())});
    return true;
}

template <int nListId> void CInstallerDlg::OnSelChange() {
    // A drag holds the model's selection, which the list box may drop at the press: redrawn.
    if (!m_drag.IsUnderWay())
        Run(SelectionCommand(Item(nListId), ListOf(nListId), m_core.GetSelection(ListOf(nListId))));
}

template <int nListId> void CInstallerDlg::OnDoubleClick() {
    Run(m_drag.SelectionBeforeClick(ListOf(nListId), m_core.GetSelection(ListOf(nListId))));
    nListId == IDC_AVAILABLE ? OnInstall() : OnUninstall();
}

bool CInstallerDlg::OnUndoKey(CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
    if (::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    const bool bShift = ::GetKeyState(VK_SHIFT) < 0;
    const bool bRedo = (wParam == 'Z' && bShift) || (wParam == 'Y' && !bShift);
    if (wParam != 'Z' && !bRedo)
        return false;
    // A drag holds its line's index until the drop: the key is taken and does nothing.
    if (!dlg.m_drag.IsUnderWay())
        bRedo ? dlg.Run(command::Redo{}) : dlg.Run(command::Undo{});
    return true;
}

// One row per message, command or key, tried in this order.
const CInstallerDlg::Row CInstallerDlg::s_aMessageMap[] = {
    Row::SysCommand(IDM_ABOUTBOX, CallRow<&CInstallerDlg::OnAbout>),
    Row::SysCommand(IDM_UNDO, CallRow<&CInstallerDlg::OnUndo>),
    Row::SysCommand(IDM_REDO, CallRow<&CInstallerDlg::OnRedo>),
    Row::SysCommand(IDM_RESTORE, CallRow<&CInstallerDlg::OnRestoreList>),
    Row::SysCommand(IDM_NOT_READ, CallRow<&CInstallerDlg::OnNotRead>),
    Row::SysCommand(IDM_SHOWPICTURES, CallRow<&CInstallerDlg::OnShowPictures>),
    Row::Message(WM_INITMENUPOPUP,
                 [](CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                     dlg.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
                     return false; // then the default processing
                 }),
    Row::Message(WM_PAINT,
                 [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT&) { return dlg.OnPaint(); }),
    Row::Message(WM_QUERYDRAGICON,
                 [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT& lResult) {
                     lResult = reinterpret_cast<LRESULT>(dlg.m_hIcon);
                     return true;
                 }),
    Row::Message(WM_SHOWWINDOW,
                 [](CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
                     dlg.OnShowWindowWaiting(wParam != 0);
                     return false; // then the default processing
                 }),
    // However the dialog closes, what it remembers is kept.
    Row::Message(WM_DESTROY,
                 [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT&) {
                     CWindowMemory::Write(dlg.m_hWnd, dlg.m_bShowPictures);
                     return false;
                 }),
    Row::Command(BN_CLICKED, IDC_INSTALL, CallRow<&CInstallerDlg::OnInstall>),
    Row::Command(BN_CLICKED, IDC_UNINSTALL, CallRow<&CInstallerDlg::OnUninstall>),
    Row::Command(BN_CLICKED, IDC_UP, CallRow<&CInstallerDlg::OnUp>),
    Row::Command(BN_CLICKED, IDC_DOWN, CallRow<&CInstallerDlg::OnDown>),
    Row::Command(LBN_SELCHANGE, IDC_INSTALLED, CallRow<&CInstallerDlg::OnSelChange<IDC_INSTALLED>>),
    Row::Command(LBN_DBLCLK, IDC_INSTALLED, CallRow<&CInstallerDlg::OnDoubleClick<IDC_INSTALLED>>),
    Row::Command(LBN_DBLCLK, IDC_AVAILABLE, CallRow<&CInstallerDlg::OnDoubleClick<IDC_AVAILABLE>>),
    Row::Command(LBN_SELCHANGE, IDC_AVAILABLE, CallRow<&CInstallerDlg::OnSelChange<IDC_AVAILABLE>>),
    // Can, and Escape and the close box, which the dialog manager turn into IDCANCEL.
    Row::Command(BN_CLICKED, IDC_CAN, CallRow<&CInstallerDlg::OnCan>),
    Row::Command(BN_CLICKED, IDCANCEL, CallRow<&CInstallerDlg::OnCan>),
    Row::Command(BN_CLICKED, IDC_OK, CallRow<&CInstallerDlg::OnOk>),
    Row::Registered(DRAGLISTMSGSTRING,
                    [](CInstallerDlg& dlg, WPARAM, LPARAM lParam, LRESULT& lResult) {
                        std::optional<ListCommand> command;
                        lResult =
                            dlg.m_drag.OnDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam),
                                                  dlg.m_core.GetCount(CarList::Installed), command);
                        // Without a command the list box may have dropped the selection: redrawn.
                        command ? dlg.Run(std::move(command)) : dlg.Draw({});
                        return true;
                    }),
    // Keys act on the list with the focus; Ctrl+Z and Ctrl+Y on the lists from any control.
    Row::Queued(WM_KEYDOWN, IDC_INSTALLED, OnListKey<IDC_INSTALLED>),
    Row::Queued(WM_KEYDOWN, IDC_AVAILABLE, OnListKey<IDC_AVAILABLE>),
    Row::Queued(WM_CHAR, IDC_INSTALLED, OnListChar<IDC_INSTALLED>),
    Row::Queued(WM_CHAR, IDC_AVAILABLE, OnListChar<IDC_AVAILABLE>),
    Row::Queued(WM_KEYDOWN, kAnyControl, OnUndoKey),
};

CInstallerDlg::CInstallerDlg()
    : CMapDialog(s_aMessageMap, IDD), m_hIcon(LoadAppIcon(IDR_MAINFRAME, SM_CXICON, SM_CYICON)),
      m_hSmallIcon(LoadAppIcon(IDR_MAINFRAME, SM_CXSMICON, SM_CYSMICON)) {}

BOOL CInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE); hSysMenu != nullptr) {
        char szAbout[256] = {};
        if (::LoadStringA(AppInstance(), IDS_ABOUTBOX, szAbout, sizeof(szAbout)) > 0) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, szAbout);
        }
        ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hSysMenu, MF_STRING | MF_GRAYED, IDM_UNDO, "&Undo\tCtrl+Z");
        ::AppendMenuA(hSysMenu, MF_STRING | MF_GRAYED, IDM_REDO, "&Redo\tCtrl+Y");
        ::AppendMenuA(hSysMenu, MF_STRING, IDM_RESTORE, "&Restore Opponent List...");
        ::AppendMenuA(hSysMenu, MF_STRING | MF_GRAYED, IDM_NOT_READ, "Car Files &Not Read...");
        ::AppendMenuA(hSysMenu, MF_STRING | MF_UNCHECKED, IDM_SHOWPICTURES, kShowPicturesText);
    }

    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    m_prompts.Attach(m_hWnd, m_hIcon, m_hSmallIcon);

    RECT rcWindow{};
    ::GetWindowRect(m_hWnd, &rcWindow);
    m_sizeDesign = {rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    m_nDesignClientHeight = rcClient.bottom;
    m_rcInstalledFrame = ChildRect(m_hWnd, Item(IDC_INSTALLED_PICTURE));
    m_rcAvailableFrame = ChildRect(m_hWnd, Item(IDC_AVAILABLE_PICTURE));

    m_pInstalledView = std::make_unique<CCarCan>();
    m_pInstalledView->AttachFrame(GetDlgItem(IDC_INSTALLED_PICTURE).Detach());
    m_pAvailableView = std::make_unique<CCarCan>();
    m_pAvailableView->AttachFrame(GetDlgItem(IDC_AVAILABLE_PICTURE).Detach());

    for (const int nListId : {IDC_AVAILABLE, IDC_INSTALLED})
        ::MakeDragList(Item(nListId));
    m_drag = CListDrag(m_hWnd);

    // As the player left it, the pictures through the menu item's own path.
    const CWindowMemory memory = CWindowMemory::Read();
    if (memory.m_bShowPictures)
        ShowPictures(true);
    memory.RestorePlace(m_hWnd);
    return TRUE;
}

void CInstallerDlg::OnInitMenuPopup(HMENU hMenu) {
    if (hMenu == nullptr || hMenu != ::GetSystemMenu(m_hWnd, FALSE))
        return;
    NameUndoItems(hMenu, m_core.GetUndoName(), m_core.GetRedoName());
    ::EnableMenuItem(hMenu, IDM_NOT_READ,
                     MF_BYCOMMAND | (m_core.HasPassedOver() ? MF_ENABLED : MF_GRAYED));
}

void CInstallerDlg::OnRestoreList() {
    std::vector<RestorableList> aLists;
    {
        const CWaitCursor wait;
        aLists = m_core.ReadRestorableLists();
    }
    std::vector<std::string> astrInstalled;
    for (int i = 0; i < m_core.GetCount(CarList::Installed); ++i)
        astrInstalled.push_back(m_core.GetCar(CarList::Installed, i).m_strCarName);
    CRestoreDlg restore(this, aLists, std::move(astrInstalled));
    if (restore.DoModal() != IDOK || restore.m_nChosen < 0)
        return;
    const bool bWasLoaded = m_core.IsLoaded();
    Run(command::Restore{std::move(aLists[static_cast<std::size_t>(restore.m_nChosen)].apRecords)});
    // After a load that found the list missing or damaged the focus stood on Can, and Enter
    // would have left without the list just restored.
    if (!bWasLoaded && m_core.IsLoaded())
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_INSTALLED)), TRUE);
}

void CInstallerDlg::OnNotRead() {
    if (!m_core.HasPassedOver())
        return; // as the greyed menu item
    const std::string strText =
        "The last load passed over these car files:\r\n\r\n" + m_core.PassedOverText();
    ::MessageBoxA(m_hWnd, strText.c_str(), "Car Files Not Read", MB_OK | MB_ICONINFORMATION);
}

void CInstallerDlg::ShowPictures(bool bShow) {
    // Chosen from a minimised window's menu: a minimised window's size is its icon's, and the
    // pictures would stay out of sight once it is restored.
    if (::IsIconic(m_hWnd))
        ::ShowWindow(m_hWnd, SW_RESTORE);
    m_bShowPictures = bShow;
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE); hSysMenu != nullptr)
        ::CheckMenuItem(hSysMenu, IDM_SHOWPICTURES,
                        MF_BYCOMMAND | (bShow ? MF_CHECKED : MF_UNCHECKED));

    RECT rcInstalled = m_rcInstalledFrame;
    RECT rcAvailable = m_rcAvailableFrame;
    int nHeight = m_sizeDesign.cy;
    if (bShow) {
        RECT rcUnits{0, kPicturesTop, 0, kPicturesTop + kPicturesMargin};
        ::MapDialogRect(m_hWnd, &rcUnits);
        for (RECT* pFrame : {&rcInstalled, &rcAvailable})
            ::OffsetRect(pFrame, 0, rcUnits.top - pFrame->top);
        const int nBottom =
            std::max(rcInstalled.bottom, rcAvailable.bottom) + (rcUnits.bottom - rcUnits.top);
        nHeight += nBottom - m_nDesignClientHeight;
    }
    ::SetWindowPos(m_pInstalledView->GetSafeHwnd(), nullptr, rcInstalled.left, rcInstalled.top, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_pAvailableView->GetSafeHwnd(), nullptr, rcAvailable.left, rcAvailable.top, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Grown downward, but not past the bottom of the work area when moving up avoids it.
    RECT rcWindow{};
    ::GetWindowRect(m_hWnd, &rcWindow);
    const RECT work = WorkArea();
    const int y = std::max<int>(work.top, std::min<int>(rcWindow.top, work.bottom - nHeight));
    ::SetWindowPos(m_hWnd, nullptr, rcWindow.left, y, m_sizeDesign.cx, nHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    try {
        Draw({}); // the pictures of the cars shown while they were hidden
    } catch (const std::exception& e) {
        m_prompts.ReportError(e.what());
    }
}

bool CInstallerDlg::OnPaint() {
    if (!::IsIconic(m_hWnd))
        return false;
    CPaintDC dc(m_hWnd);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    const int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
    return true;
}

void CInstallerDlg::OnShowWindowWaiting(bool bShow) {
    if (!bShow) {
        Run(command::Clear{});
        return;
    }
    {
        // Loading may take a while on a big game folder: the wait cursor, and a progress window
        // once it has taken long enough to be noticed. Both go however the load ends.
        const CWaitCursor wait;
        m_prompts.BeginLoad();
        Run(command::Load{});
        m_prompts.EndLoad();
    }
    FocusAfterLoad();
    // For measuring start-up (scripts/bench.sh): with this variable set the program closes as
    // soon as both lists are filled.
    if (::GetEnvironmentVariableA("GRIDWRIGHT_EXIT_AFTER_LOAD", nullptr, 0) > 0)
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CInstallerDlg::FocusAfterLoad() {
    // The load disables Ok, which the dialog manager gave the focus; a disabled control keeps
    // none, and no key would work until a click.
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(Item(m_core.IsLoaded() ? IDC_AVAILABLE : IDC_CAN)),
                   TRUE);
}

void CInstallerDlg::OnCan() {
    // One stray Escape must not lose an hour's changes.
    if (m_core.HasChanges() &&
        !AskYesNoQuestion(
            m_hWnd, "Leave without saving? Your changes to the opponent list will be lost.", true))
        return;
    EndDialog(IDCANCEL);
}

void CInstallerDlg::OnOk() {
    if (m_core.SaveAndClose())
        EndDialog(IDCANCEL); // as Can: nothing reads the result
}

void CInstallerDlg::Run(std::optional<ListCommand> command) {
    if (!command)
        return;
    try {
        Draw(m_core.Apply(std::move(*command)));
    } catch (const std::exception& e) {
        m_prompts.ReportError(e.what());
    }
}

void CInstallerDlg::Draw(const ModelChange& change) {
    DrawLines(CarList::Available, change.available);
    DrawLines(CarList::Installed, change.installed);
    const auto setText = [this](int nId, const std::string& str) {
        if (GetWindowString(Item(nId)) != str)
            ::SetDlgItemTextA(m_hWnd, nId, str.c_str());
    };
    for (const CarList list : {CarList::Available, CarList::Installed}) {
        const bool bAvailable = list == CarList::Available;
        DrawListSelection(Item(ListId(list)), m_core.GetSelection(list),
                          (bAvailable ? change.available : change.installed).Any());
        setText(bAvailable ? IDC_AVAILABLE_INFO : IDC_INSTALLED_INFO, m_core.GetShownInfo(list));
        setText(bAvailable ? IDC_AVAILABLE_GROUP : IDC_INSTALLED_GROUP,
                ListTitle(list, m_core.GetCount(list)));

        // Composed only when seen: a start with the pictures hidden reads no picture file.
        CCarCan& view = list == CarList::Available ? *m_pAvailableView : *m_pInstalledView;
        if (const int nImage = m_bShowPictures ? m_core.ComposeShownImage(list) : -1;
            nImage != -1 && view.m_nImage != nImage)
            view.SetImage(m_pictures.GetImageList(), nImage);
    }
    ::EnableWindow(Item(IDC_OK), m_core.IsLoaded() ? TRUE : FALSE);
}

void CInstallerDlg::DrawLines(CarList list, const LineChange& lines) {
    if (!lines.Any())
        return;
    const HWND hList = Item(ListId(list));
    // Drawn once, when every line is in place: lines drawn one by one left stale text on screen.
    ::SendMessageA(hList, WM_SETREDRAW, FALSE, 0);
    if (lines.nFirst == 0 && lines.nNewEnd > 1)
        ::SendMessageA(hList, LB_INITSTORAGE, static_cast<WPARAM>(lines.nNewEnd),
                       32 * lines.nNewEnd);
    // Straight to the list box's own procedure: under Wine the drag list's subclass, which has
    // nothing to do with these messages, asks the server for its data three times a message.
    const auto pfnListProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrA(hList, GCLP_WNDPROC));
    for (int i = lines.nOldEnd - 1; i >= lines.nFirst; --i)
        ::CallWindowProcA(pfnListProc, hList, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    for (int i = lines.nFirst; i < lines.nNewEnd; ++i)
        ::CallWindowProcA(pfnListProc, hList, LB_INSERTSTRING, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(m_core.GetCar(list, i).m_strCarName.c_str()));
    ::SendMessageA(hList, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hList, nullptr, TRUE);
}
