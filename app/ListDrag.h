#pragma once

#include "lists/Commands.h"

#include <windows.h>

#include <commctrl.h>

#include <optional>

// A car dragged with the mouse between the dialog's two drag lists: where it may go, the mark
// between installed lines where it would land, and the command a drop gives the model.
class CListDrag {
public:
    explicit CListDrag(HWND hDialog) : m_hDialog(hDialog) {}

    // While a drag is under way nothing else may change the lists: it holds its line by index.
    [[nodiscard]] bool IsUnderWay() const { return m_nFromList != 0; }
    // Answers a drag list's notification; nInstalled is the installed list's line count. A press
    // with Shift or Ctrl is left to the list box, which extends its selection. A plain press on a
    // line not selected selects it alone; on a selected line it keeps the selection, and the drag
    // carries it all. (Whether the list box gets the press too differs between systems: the
    // window redraws the model's selection after every notification.) At the drop the cars go
    // where they were dropped. The command for either comes back in command.
    LRESULT OnDragList(const DRAGLISTINFO& info, int nInstalled,
                       std::optional<ListCommand>& command);
    // A double click's first click is a press in place, which leaves its car selected alone. When
    // the list shows just that, the selection the press found, to act on instead; none otherwise.
    [[nodiscard]] std::optional<ListCommand> SelectionBeforeClick(CarList list,
                                                                  const Selection& now) const;

private:
    struct DropTarget {
        int nListId = 0;    // 0: not over a list
        int nPosition = -1; // in the installed list: the line the car goes before (count: last)
    };
    // Where a car dropped at the screen point would go; bScroll scrolls the installed list when
    // the point is just above or below it.
    [[nodiscard]] DropTarget FindDropTarget(POINT pt, bool bScroll, int nInstalled) const;
    // Marks the installed line a dragged car would go before; -1 takes the mark away.
    void ShowInsertMark(int nPosition, int nInstalled);

    static constexpr int kInsertMarkReach = 16; // pixels of the mark within the list box
    HWND m_hDialog;
    int m_nFromList = 0; // the list a drag started in, 0 when none is under way
    int m_nItem = -1;
    int m_nInsertMark = -1; // the line marked, and the list's top line when it was marked
    int m_nInsertMarkTop = -1;
    // The last plain press on a selected line: the selection it found, and the line.
    std::optional<command::SelectLines> m_pressed;
    int m_nPressedItem = -1;
};
