#pragma once

#include "app/ResourceIds.h"
#include "lists/Commands.h"

#include <windows.h>

#include <optional>

// Reading and drawing the selection of a list box that selects several lines (LBS_EXTENDEDSEL).

// The model's list that a list box shows, and the list box that shows a list.
[[nodiscard]] inline CarList ListOf(int nListId) {
    return nListId == IDC_AVAILABLE ? CarList::Available : CarList::Installed;
}
[[nodiscard]] inline int ListId(CarList list) {
    return list == CarList::Available ? IDC_AVAILABLE : IDC_INSTALLED;
}

// The list box's selected lines, ascending, and its caret (-1 when it has no lines).
[[nodiscard]] Selection ReadListSelection(HWND hList);

// The command for a selection the player made in the list box: Select for one line with the
// caret on it, as ever, SelectLines for any other, none when the model holds it already. (A list
// box always has a caret, the model not while nothing is selected.)
[[nodiscard]] std::optional<ListCommand> SelectionCommand(HWND hList, CarList list,
                                                          const Selection& model);

// The keys the window adds to a list box's own, with the key pressed: Ctrl+A selects the whole
// list; an arrow while the model has no caret selects the line of the list box's caret (the first
// after a load), as a list box of one selection did, where one of several would move on from it.
// None for any other key.
[[nodiscard]] std::optional<ListCommand> SelectionKeyCommand(HWND hList, CarList list,
                                                             const Selection& model, WPARAM nKey);

// Brings the list box's selected lines and caret to the selection, touching only the lines that
// differ, in runs. When anything changed, or bLinesChanged says the list's lines did, the anchor
// of Shift's extending moves to the caret; a changed caret is scrolled into view. A caret of -1
// leaves the list box's own.
void DrawListSelection(HWND hList, const Selection& selection, bool bLinesChanged);
