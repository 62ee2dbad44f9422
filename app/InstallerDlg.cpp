#include "app/InstallerDlg.h"

#include "app/AboutDlg.h"
#include "app/RestoreDlg.h"
#include "lists/ResourceIds.h"
#include "platform/win32/DC.h"
#include "platform/win32/WinApp.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

HINSTANCE Instance() {
    const CWinApp* pApp = CWinApp::GetApp();
    return pApp != nullptr && pApp->m_hInstance != nullptr ? pApp->m_hInstance
                                                           : ::GetModuleHandleA(nullptr);
}

HICON LoadAppIcon(int nId, int nMetricX, int nMetricY) {
    // The exact size from the icon's six images is crisper than a scaled default one.
    return static_cast<HICON>(::LoadImageA(Instance(), MAKEINTRESOURCEA(nId), IMAGE_ICON,
                                           ::GetSystemMetrics(nMetricX),
                                           ::GetSystemMetrics(nMetricY), LR_SHARED));
}

// Shows the wait cursor for as long as it lives.
class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

constexpr const char* kShowPicturesText = "Show &Pictures";

// The drag lists tell their parent through this message.
const UINT s_nDragListMessage = ::RegisterWindowMessage(DRAGLISTMSGSTRING);

// A child control's rectangle in the dialog's client co-ordinates.
RECT ChildRect(HWND hDialog, HWND hChild) {
    RECT rect{};
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

// One row per message or control notification, searched in this order.
const CInstallerDlg::Row CInstallerDlg::s_aMessageMap[] = {
    {WM_SYSCOMMAND, 0, 0,
     [](CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
         return dlg.OnSysCommand(static_cast<UINT>(wParam));
     }},
    {WM_INITMENUPOPUP, 0, 0,
     [](CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
         dlg.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
         return false; // then the default processing
     }},
    {WM_PAINT, 0, 0, [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT&) { return dlg.OnPaint(); }},
    {WM_QUERYDRAGICON, 0, 0,
     [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT& lResult) {
         lResult = reinterpret_cast<LRESULT>(dlg.OnQueryDragIcon());
         return true;
     }},
    {WM_COMMAND, BN_CLICKED, IDC_INSTALL, OnCommandRow<&CInstallerCore::OnInstall>},
    {WM_COMMAND, BN_CLICKED, IDC_UNINSTALL, OnCommandRow<&CInstallerCore::OnUninstall>},
    {WM_COMMAND, BN_CLICKED, IDC_UP, OnCommandRow<&CInstallerCore::OnUp>},
    {WM_COMMAND, BN_CLICKED, IDC_DOWN, OnCommandRow<&CInstallerCore::OnDown>},
    {WM_COMMAND, LBN_SELCHANGE, IDC_INSTALLED, OnCommandRow<&CInstallerCore::ShowInstalled>},
    {WM_COMMAND, LBN_DBLCLK, IDC_INSTALLED, OnCommandRow<&CInstallerCore::OnUninstall>},
    {WM_COMMAND, LBN_DBLCLK, IDC_AVAILABLE, OnCommandRow<&CInstallerCore::OnInstall>},
    {WM_COMMAND, LBN_SELCHANGE, IDC_AVAILABLE, OnCommandRow<&CInstallerCore::ShowAvailable>},
    {WM_CLOSE, 0, 0, [](CInstallerDlg& dlg, WPARAM, LPARAM, LRESULT&) { return dlg.OnClose(); }},
    {WM_SHOWWINDOW, 0, 0,
     [](CInstallerDlg& dlg, WPARAM wParam, LPARAM, LRESULT&) {
         dlg.OnShowWindowWaiting(wParam != 0);
         return false; // then the default processing
     }},
    {WM_COMMAND, BN_CLICKED, IDC_CAN, OnCommandRow<&CInstallerCore::OnCan>},
    {WM_COMMAND, BN_CLICKED, IDC_OK, OnCommandRow<&CInstallerCore::SaveAndClose>},
};

CInstallerDlg::CInstallerDlg()
    : CDialog(IDD), CInstallerCore(static_cast<CInstallerWindow&>(*this)),
      m_hIcon(LoadAppIcon(IDR_MAINFRAME, SM_CXICON, SM_CYICON)),
      m_hSmallIcon(LoadAppIcon(IDR_MAINFRAME, SM_CXSMICON, SM_CYSMICON)) {}

bool CInstallerDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    if (nMessage == s_nDragListMessage && s_nDragListMessage != 0) {
        lResult = OnDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam));
        return true;
    }
    return DispatchMessageMap<CInstallerDlg>(s_aMessageMap, *this, nMessage, wParam, lParam,
                                             lResult);
}

BOOL CInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE); hSysMenu != nullptr) {
        char szAbout[256] = {};
        if (::LoadStringA(Instance(), IDS_ABOUTBOX, szAbout, sizeof(szAbout)) > 0) {
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

    for (const int nListId : {IDC_AVAILABLE, IDC_INSTALLED}) {
        ::MakeDragList(Item(nListId));
        ::SetWindowSubclass(Item(nListId), ListProc, static_cast<UINT_PTR>(nListId),
                            reinterpret_cast<DWORD_PTR>(this));
    }

    InitPictures();
    return TRUE;
}

bool CInstallerDlg::OnSysCommand(UINT nId) {
    switch (nId & 0xFFF0) {
    case IDM_ABOUTBOX: {
        CAboutDlg about(this);
        about.DoModal();
        return true;
    }
    case IDM_UNDO:
        Undo();
        return true;
    case IDM_REDO:
        Redo();
        return true;
    case IDM_RESTORE:
        OnRestoreList();
        return true;
    case IDM_NOT_READ:
        OnNotRead();
        return true;
    case IDM_SHOWPICTURES:
        ShowPictures(!m_bShowPictures);
        return true;
    default:
        return false;
    }
}

void CInstallerDlg::OnInitMenuPopup(HMENU hMenu) {
    if (hMenu == nullptr || hMenu != ::GetSystemMenu(m_hWnd, FALSE))
        return;
    const auto enable = [hMenu](UINT nId, bool bEnable) {
        ::EnableMenuItem(hMenu, nId, MF_BYCOMMAND | (bEnable ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_UNDO, CanUndo());
    enable(IDM_REDO, CanRedo());
    enable(IDM_NOT_READ, !m_aPassedOver.empty());
}

bool CInstallerDlg::PreTranslateMessage(const MSG& msg) {
    // Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, whichever control has the focus.
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    const bool bShift = ::GetKeyState(VK_SHIFT) < 0;
    if (msg.wParam == 'Z')
        return OnSysCommand(bShift ? IDM_REDO : IDM_UNDO);
    if (msg.wParam == 'Y' && !bShift)
        return OnSysCommand(IDM_REDO);
    return false;
}

void CInstallerDlg::OnRestoreList() {
    std::vector<RestorableList> aLists;
    {
        const CWaitCursor wait;
        aLists = ReadKeptLists(
            [this](const std::string& strFileBase) { return LoadPicture(strFileBase); });
    }
    std::vector<std::string> astrInstalled;
    for (int i = 0; i < m_nInstalled; ++i)
        astrInstalled.push_back(m_apInstalled[i]->m_strCarName);
    CRestoreDlg restore(this, aLists, std::move(astrInstalled));
    if (restore.DoModal() != IDOK || restore.m_nChosen < 0)
        return;
    RestoreInstalled(std::move(aLists[static_cast<std::size_t>(restore.m_nChosen)].apRecords));
}

void CInstallerDlg::OnNotRead() {
    if (m_aPassedOver.empty())
        return; // as the greyed menu item
    const std::string strText =
        "The last load passed over these car files:\r\n\r\n" + PassedOverText();
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
    {
        // Loading may take a while on a big game folder: the wait cursor, and a progress window
        // once it has taken long enough to be noticed. Both go however the load ends.
        const CWaitCursor wait;
        if (!bShow) {
            OnShowWindow(bShow);
            return;
        }
        struct LoadEnd {
            CInstallerDlg& dlg;
            ~LoadEnd() {
                dlg.m_pProgress.reset();
                dlg.m_nLoadStart.reset();
            }
        } const end{*this};
        m_nLoadStart = ::GetTickCount();
        // For testing the progress window (tests/app/gui): a pause in milliseconds after each
        // file makes a small folder load slowly.
        char szDelay[16] = {};
        m_nLoadDelayMs =
            ::GetEnvironmentVariableA("GRIDWRIGHT_LOAD_DELAY_MS", szDelay, sizeof szDelay) > 0
                ? static_cast<DWORD>(std::strtoul(szDelay, nullptr, 10))
                : 0;
        try {
            OnShowWindow(bShow);
        } catch (...) {
            FocusAfterLoad();
            throw;
        }
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
                   reinterpret_cast<WPARAM>(Item(m_bLoaded ? IDC_AVAILABLE : IDC_CAN)), TRUE);
}

LRESULT CALLBACK CInstallerDlg::ListProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR nListId, DWORD_PTR pDialog) {
    auto& dlg = *reinterpret_cast<CInstallerDlg*>(pDialog);
    const int nId = static_cast<int>(nListId);
    switch (nMessage) {
    case WM_KEYDOWN:
        if (dlg.OnListKey(nId, static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CHAR: {
        // The character in the program's code page, as the car names are.
        char c = static_cast<char>(wParam);
        if (::IsWindowUnicode(hWnd)) {
            const auto wc = static_cast<wchar_t>(wParam);
            BOOL bDefault = FALSE;
            if (::WideCharToMultiByte(CP_ACP, 0, &wc, 1, &c, 1, nullptr, &bDefault) != 1 ||
                bDefault)
                break;
        }
        if (dlg.OnListChar(nId, c))
            return 0;
        break;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hWnd, ListProc, nListId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hWnd, nMessage, wParam, lParam);
}

bool CInstallerDlg::OnListKey(int nListId, UINT nKey) {
    if (m_nDragList != 0)
        return false; // the drag list takes Escape; nothing else changes the lists meanwhile
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    void (CInstallerCore::*pfnCommand)() = nullptr;
    if (nListId == IDC_INSTALLED && !bCtrl && nKey == VK_DELETE)
        pfnCommand = &CInstallerCore::OnUninstall;
    else if (nListId == IDC_AVAILABLE && !bCtrl && nKey == VK_INSERT)
        pfnCommand = &CInstallerCore::OnInstall;
    else if (nListId == IDC_INSTALLED && bCtrl && nKey == VK_UP)
        pfnCommand = &CInstallerCore::OnUp;
    else if (nListId == IDC_INSTALLED && bCtrl && nKey == VK_DOWN)
        pfnCommand = &CInstallerCore::OnDown;
    else if (nListId == IDC_INSTALLED && bCtrl && nKey == VK_HOME)
        pfnCommand = &CInstallerCore::OnTop;
    else if (nListId == IDC_INSTALLED && bCtrl && nKey == VK_END)
        pfnCommand = &CInstallerCore::OnBottom;
    if (pfnCommand == nullptr)
        return false;
    Run([&] { (this->*pfnCommand)(); });
    return true;
}

bool CInstallerDlg::OnListChar(int nListId, char c) {
    if (m_nDragList != 0 || static_cast<unsigned char>(c) < ' ')
        return false;
    Run([&] {
        OnTypeAhead(nListId == IDC_AVAILABLE, c, static_cast<std::uint32_t>(::GetMessageTime()));
    });
    return true;
}

LRESULT CInstallerDlg::OnDragList(const DRAGLISTINFO& info) {
    switch (info.uNotification) {
    case DL_BEGINDRAG:
        m_nDragItem = ::LBItemFromPt(info.hWnd, info.ptCursor, FALSE);
        m_nDragList = m_nDragItem >= 0 ? ::GetDlgCtrlID(info.hWnd) : 0;
        return m_nDragList != 0 ? TRUE : FALSE;
    case DL_DRAGGING: {
        const DropTarget target = FindDropTarget(info.ptCursor, true);
        ShowInsertMark(target.nListId == IDC_INSTALLED ? target.nPosition : -1);
        const bool bMoves = target.nListId == IDC_INSTALLED ||
                            (target.nListId == IDC_AVAILABLE && m_nDragList == IDC_INSTALLED);
        return bMoves ? DL_MOVECURSOR : DL_STOPCURSOR;
    }
    case DL_DROPPED: {
        ShowInsertMark(-1);
        const DropTarget target = FindDropTarget(info.ptCursor, false);
        const int nFromList = std::exchange(m_nDragList, 0);
        const int nItem = std::exchange(m_nDragItem, -1);
        Run([&] { OnDrop(nFromList, nItem, target.nListId, target.nPosition); });
        return 0;
    }
    case DL_CANCELDRAG:
        ShowInsertMark(-1);
        m_nDragList = 0;
        m_nDragItem = -1;
        return 0;
    default:
        return 0;
    }
}

void CInstallerDlg::ShowInsertMark(int nPosition) {
    const HWND hInstalled = Item(IDC_INSTALLED);
    // The drag list marks lines only; below the last one the pointer alone shows the place.
    if (nPosition >= m_nInstalled)
        nPosition = -1;
    const auto nTop = static_cast<int>(::SendMessageA(hInstalled, LB_GETTOPINDEX, 0, 0));
    if (nPosition == m_nInsertMark && nTop == m_nInsertMarkTop)
        return;
    m_nInsertMark = nPosition;
    m_nInsertMarkTop = nTop;
    // The mark's point reaches into the list box, which the drag list does not repaint when the
    // mark moves on or the list scrolls: its left edge and border are repainted first.
    RECT rcEdge{};
    ::GetClientRect(hInstalled, &rcEdge);
    rcEdge.right = rcEdge.left + kInsertMarkReach;
    ::RedrawWindow(hInstalled, &rcEdge, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ::SendMessageA(hInstalled, WM_NCPAINT, 1, 0); // and its border
    ::DrawInsert(m_hWnd, hInstalled, nPosition);
}

CInstallerDlg::DropTarget CInstallerDlg::FindDropTarget(POINT pt, bool bScroll) const {
    const HWND hInstalled = Item(IDC_INSTALLED);
    // Outside the list, just above or below it, the drag list scrolls it.
    const int nItem = ::LBItemFromPt(hInstalled, pt, bScroll ? TRUE : FALSE);
    POINT ptClient = pt;
    ::ScreenToClient(hInstalled, &ptClient);
    RECT rect{};
    ::GetClientRect(hInstalled, &rect);
    if (::PtInRect(&rect, ptClient))
        return {IDC_INSTALLED, nItem >= 0 ? nItem : m_nInstalled}; // below the last line: last
    ::GetWindowRect(Item(IDC_AVAILABLE), &rect);
    if (::PtInRect(&rect, pt))
        return {IDC_AVAILABLE, -1};
    return {};
}

void CInstallerDlg::ShowLoadProgress(const std::string& strStep, int nDone, int nTotal) {
    if (m_nLoadDelayMs > 0)
        ::Sleep(m_nLoadDelayMs);
    if (!m_pProgress) {
        if (!m_nLoadStart || ::GetTickCount() - *m_nLoadStart < kProgressDelayMs)
            return;
        m_pProgress = std::make_unique<CProgressWindow>(m_hWnd, m_hIcon, m_hSmallIcon);
    }
    m_pProgress->Show(strStep, nDone, nTotal);
}

int CInstallerDlg::GetCurSel(int nListId) const {
    return static_cast<int>(SendItem(nListId, LB_GETCURSEL, 0, 0));
}

void CInstallerDlg::AddString(int nListId, const std::string& str) {
    SendItem(nListId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(str.c_str()));
}

void CInstallerDlg::InsertString(int nListId, int nIndex, const std::string& str) {
    SendItem(nListId, LB_INSERTSTRING, static_cast<WPARAM>(nIndex),
             reinterpret_cast<LPARAM>(str.c_str()));
}

void CInstallerDlg::DeleteString(int nListId, int nIndex) {
    SendItem(nListId, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
}

void CInstallerDlg::SetCurSel(int nListId, int nIndex) {
    SendItem(nListId, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

int CInstallerDlg::GetCount(int nListId) const {
    return static_cast<int>(SendItem(nListId, LB_GETCOUNT, 0, 0));
}

std::string CInstallerDlg::GetText(int nListId, int nIndex) const {
    const LRESULT nLength = SendItem(nListId, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLength <= 0)
        return {};
    std::string str(static_cast<std::size_t>(nLength) + 1, '\0');
    const LRESULT nCopied = SendItem(nListId, LB_GETTEXT, static_cast<WPARAM>(nIndex),
                                     reinterpret_cast<LPARAM>(str.data()));
    str.resize(nCopied > 0 ? static_cast<std::size_t>(nCopied) : 0);
    return str;
}

void CInstallerDlg::SetInfoText(int nBoxId, const std::string& str) {
    ::SetDlgItemTextA(m_hWnd, nBoxId, str.c_str());
}

void CInstallerDlg::SetImage(int nFrameId, int nImage) {
    CCarCan* pView = nFrameId == IDC_INSTALLED_PICTURE   ? m_pInstalledView.get()
                     : nFrameId == IDC_AVAILABLE_PICTURE ? m_pAvailableView.get()
                                                         : nullptr;
    if (pView != nullptr)
        pView->SetImage(m_pImageList.get(), nImage);
}

void CInstallerDlg::CreateImageList() {
    auto pImageList = std::make_unique<CImageList>();
    // The list copies all its pictures each time it grows: growing by one picture at a time
    // made loading 4000 pictures take a minute instead of seconds.
    pImageList->Create(kPictureWidth, kPictureHeight, ILC_COLOR24, 1, kImageListGrowth);
    m_pImageList = std::move(pImageList);
}

int CInstallerDlg::AddPicture(const std::uint8_t* pPicture) {
    if (m_pImageList == nullptr)
        throw std::logic_error("A car picture was added before the list of pictures was made.");
    // The list keeps its own copy, so one bitmap carries every picture to it: making a bitmap
    // for each of thousands of pictures asked the system for memory thousands of times.
    m_picture.CreatePicture(kPictureWidth, kPictureHeight, pPicture);
    return m_pImageList->Add(m_picture);
}

void CInstallerDlg::EnableOk(bool bEnable) {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OK), bEnable ? TRUE : FALSE);
}

void CInstallerDlg::ReportError(const std::string& strMessage) {
    ShowErrorMessage(m_hWnd, strMessage);
}

bool CInstallerDlg::AskYesNo(const std::string& strQuestion) {
    return AskYesNoQuestion(m_hWnd, strQuestion);
}
