#include "app/ListDrag.h"

#include "app/ListSelection.h"
#include "app/ResourceIds.h"

#include <windowsx.h>

#include <utility>
#include <vector>

namespace {

// Where the pointer was at the press or the release being handled, as the list box takes it: a
// busy program would find the pointer on its way to another line by now.
POINT MessagePoint() {
    const DWORD dwPos = ::GetMessagePos();
    return {GET_X_LPARAM(dwPos), GET_Y_LPARAM(dwPos)};
}

} // namespace

LRESULT CListDrag::OnDragList(const DRAGLISTINFO& info, int nInstalled,
                              std::optional<ListCommand>& command) {
    switch (info.uNotification) {
    case DL_BEGINDRAG: {
        m_pressed.reset();
        if (::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0)
            return FALSE;
        m_nItem = ::LBItemFromPt(info.hWnd, MessagePoint(), FALSE);
        m_nFromList = m_nItem >= 0 ? ::GetDlgCtrlID(info.hWnd) : 0;
        if (m_nFromList == 0)
            return FALSE;
        const CarList list = ListOf(m_nFromList);
        if (::SendMessageA(info.hWnd, LB_GETSEL, static_cast<WPARAM>(m_nItem), 0) > 0) {
            m_pressed = command::SelectLines{list, ReadListSelection(info.hWnd)};
            m_nPressedItem = m_nItem;
        } else {
            command = command::Select{list, m_nItem};
        }
        return TRUE;
    }
    case DL_DRAGGING: {
        const DropTarget target = FindDropTarget(info.ptCursor, true, nInstalled);
        ShowInsertMark(target.nListId == IDC_INSTALLED ? target.nPosition : -1, nInstalled);
        const bool bMoves = target.nListId == IDC_INSTALLED ||
                            (target.nListId == IDC_AVAILABLE && m_nFromList == IDC_INSTALLED);
        return bMoves ? DL_MOVECURSOR : DL_STOPCURSOR;
    }
    case DL_DROPPED: {
        ShowInsertMark(-1, nInstalled);
        const DropTarget target = FindDropTarget(MessagePoint(), false, nInstalled);
        const int nFromList = std::exchange(m_nFromList, 0);
        const int nItem = std::exchange(m_nItem, -1);
        std::optional<CarList> to;
        if (target.nListId != 0)
            to = ListOf(target.nListId);
        if (nFromList != 0)
            command = command::Drop{ListOf(nFromList), nItem, to, target.nPosition};
        return 0;
    }
    case DL_CANCELDRAG:
        ShowInsertMark(-1, nInstalled);
        m_nFromList = 0;
        m_nItem = -1;
        return 0;
    default:
        return 0;
    }
}

void CListDrag::ShowInsertMark(int nPosition, int nInstalled) {
    const HWND hInstalled = ::GetDlgItem(m_hDialog, IDC_INSTALLED);
    // The drag list marks lines only; below the last one the pointer alone shows the place.
    if (nPosition >= nInstalled)
        nPosition = -1;
    const auto nTop = static_cast<int>(::SendMessageA(hInstalled, LB_GETTOPINDEX, 0, 0));
    if (nPosition == m_nInsertMark && nTop == m_nInsertMarkTop)
        return;
    m_nInsertMark = nPosition;
    m_nInsertMarkTop = nTop;
    // The mark's point reaches into the list box, which the drag list does not repaint when the
    // mark moves on or the list scrolls: its left edge and border are repainted first. (A border
    // painted by a WM_NCPAINT of our own, for the whole window, painted over every line too.)
    RECT rcEdge{};
    ::GetWindowRect(hInstalled, &rcEdge);
    ::MapWindowPoints(nullptr, hInstalled, reinterpret_cast<POINT*>(&rcEdge), 2);
    rcEdge.right = kInsertMarkReach;
    ::RedrawWindow(hInstalled, &rcEdge, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    ::DrawInsert(m_hDialog, hInstalled, nPosition);
}

CListDrag::DropTarget CListDrag::FindDropTarget(POINT pt, bool bScroll, int nInstalled) const {
    const HWND hInstalled = ::GetDlgItem(m_hDialog, IDC_INSTALLED);
    // Outside the list, just above or below it, the drag list scrolls it.
    const int nItem = ::LBItemFromPt(hInstalled, pt, bScroll ? TRUE : FALSE);
    POINT ptClient = pt;
    ::ScreenToClient(hInstalled, &ptClient);
    RECT rect{};
    ::GetClientRect(hInstalled, &rect);
    if (::PtInRect(&rect, ptClient))
        // Below the last line: after the last.
        return {IDC_INSTALLED, nItem >= 0 ? nItem : nInstalled};
    ::GetWindowRect(::GetDlgItem(m_hDialog, IDC_AVAILABLE), &rect);
    if (::PtInRect(&rect, pt))
        return {IDC_AVAILABLE, -1};
    return {};
}

std::optional<ListCommand> CListDrag::SelectionBeforeClick(CarList list,
                                                           const Selection& now) const {
    if (!m_pressed || m_pressed->list != list || now.nCaret != m_nPressedItem ||
        now.anLines != std::vector<int>{m_nPressedItem})
        return std::nullopt;
    return *m_pressed;
}
