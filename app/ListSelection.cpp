#include "app/ListSelection.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Selects or deselects the lines, ascending, one message for each run of neighbours: Ctrl+A on
// two thousand lines is one message.
void SelectRuns(HWND hList, const std::vector<int>& anLines, bool bSelect) {
    for (std::size_t i = 0; i < anLines.size();) {
        std::size_t nEnd = i + 1;
        while (nEnd < anLines.size() && anLines[nEnd] == anLines[nEnd - 1] + 1)
            ++nEnd;
        // Lines are fewer than CInstallerCore::kMaxCars, well within LB_SELITEMRANGE's 16 bits.
        ::SendMessageA(hList, LB_SELITEMRANGE, bSelect ? TRUE : FALSE,
                       MAKELPARAM(anLines[i], anLines[nEnd - 1]));
        i = nEnd;
    }
}

// Scrolls the list box as little as brings the line wholly into view.
void ScrollIntoView(HWND hList, int nLine) {
    const auto nTop = static_cast<int>(::SendMessageA(hList, LB_GETTOPINDEX, 0, 0));
    const auto nHeight = static_cast<int>(::SendMessageA(hList, LB_GETITEMHEIGHT, 0, 0));
    RECT rect{};
    ::GetClientRect(hList, &rect);
    const int nRows = std::max(1, nHeight > 0 ? static_cast<int>(rect.bottom) / nHeight : 1);
    if (nLine < nTop)
        ::SendMessageA(hList, LB_SETTOPINDEX, static_cast<WPARAM>(nLine), 0);
    else if (nLine >= nTop + nRows)
        ::SendMessageA(hList, LB_SETTOPINDEX, static_cast<WPARAM>(nLine - nRows + 1), 0);
}

} // namespace

Selection ReadListSelection(HWND hList) {
    Selection selection;
    const auto nCount = static_cast<int>(::SendMessageA(hList, LB_GETSELCOUNT, 0, 0));
    if (nCount > 0) {
        selection.anLines.resize(static_cast<std::size_t>(nCount));
        const auto nRead =
            static_cast<int>(::SendMessageA(hList, LB_GETSELITEMS, static_cast<WPARAM>(nCount),
                                            reinterpret_cast<LPARAM>(selection.anLines.data())));
        selection.anLines.resize(static_cast<std::size_t>(std::max(nRead, 0)));
        std::sort(selection.anLines.begin(), selection.anLines.end());
    }
    if (::SendMessageA(hList, LB_GETCOUNT, 0, 0) > 0)
        selection.nCaret = static_cast<int>(::SendMessageA(hList, LB_GETCARETINDEX, 0, 0));
    return selection;
}

std::optional<ListCommand> SelectionCommand(HWND hList, CarList list, const Selection& model) {
    Selection selection = ReadListSelection(hList);
    if (selection.anLines.empty() && model.nCaret < 0)
        selection.nCaret = -1;
    if (selection == model)
        return std::nullopt;
    if (selection.anLines.size() == 1 && selection.anLines.front() == selection.nCaret)
        return command::Select{list, selection.nCaret};
    return command::SelectLines{list, std::move(selection)};
}

std::optional<ListCommand> SelectionKeyCommand(HWND hList, CarList list, const Selection& model,
                                               WPARAM nKey) {
    if (::GetKeyState(VK_CONTROL) < 0)
        return nKey == 'A' ? std::optional<ListCommand>(command::SelectAll{list}) : std::nullopt;
    if ((nKey != VK_UP && nKey != VK_DOWN) || model.nCaret >= 0 ||
        ::SendMessageA(hList, LB_GETCOUNT, 0, 0) <= 0)
        return std::nullopt;
    return command::Select{list, static_cast<int>(::SendMessageA(hList, LB_GETCARETINDEX, 0, 0))};
}

void DrawListSelection(HWND hList, const Selection& selection, bool bLinesChanged) {
    const Selection shown = ReadListSelection(hList);
    const bool bCaret = selection.nCaret >= 0 && selection.nCaret != shown.nCaret;
    if (shown.anLines != selection.anLines) {
        std::vector<int> anOff;
        std::set_difference(shown.anLines.begin(), shown.anLines.end(), selection.anLines.begin(),
                            selection.anLines.end(), std::back_inserter(anOff));
        std::vector<int> anOn;
        std::set_difference(selection.anLines.begin(), selection.anLines.end(),
                            shown.anLines.begin(), shown.anLines.end(), std::back_inserter(anOn));
        SelectRuns(hList, anOff, false);
        SelectRuns(hList, anOn, true);
    } else if (!bCaret && !bLinesChanged) {
        return;
    }
    if (selection.nCaret < 0)
        return;
    ::SendMessageA(hList, LB_SETCARETINDEX, static_cast<WPARAM>(selection.nCaret), FALSE);
    ::SendMessageA(hList, LB_SETANCHORINDEX, static_cast<WPARAM>(selection.nCaret), 0);
    // A block just installed or moved shows as much of itself as fits, the caret above all.
    if (bLinesChanged && shown.anLines != selection.anLines && !selection.anLines.empty())
        ScrollIntoView(hList, selection.anLines.back());
    if (shown.anLines != selection.anLines || bCaret)
        ScrollIntoView(hList, selection.nCaret);
}
