#pragma once

#include "opponents/CarRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

// The two lists of the installer: the add-on car files found, and the game's opponents.
enum class CarList { Available, Installed };

// Which lines of a list are selected, and the caret: the line the player is on, whose car the
// description shows (-1: none). The caret's line need not be selected, as in a list box.
struct Selection {
    std::vector<int> anLines; // ascending, no line twice
    int nCaret = -1;
    bool operator==(const Selection&) const = default;
};

// Everything that changes the installer's lists, their selections or what they show enters the
// model as one of these (CInstallerCore::Apply). The window turns the player's buttons, keys,
// clicks and drags into them.
namespace command {

// The commands act on the selected cars, in list order; with one selected, on that car.
struct Install {};   // the selected available cars, copied to the end of the installed list
struct Uninstall {}; // the selected installed cars out, each exported when no car file keeps it
struct Up {};        // the selected installed cars one place up, keeping their gaps
struct Down {};
struct Top {}; // and to the top, in their order
struct Bottom {};
// A car dragged from line nItem of one list, with the rest of that list's selection when it is
// selected, and dropped on a list (none: outside both), in the installed list before line
// nPosition of the list as it was (its count: after the last). Within the installed list the cars
// move; from the available list they are installed there; onto the available list they are
// uninstalled. Dropped where it already stands, the dragged car alone is selected, as a click.
struct Drop {
    CarList from = CarList::Available;
    int nItem = -1;
    std::optional<CarList> to;
    int nPosition = -1;
};
// The player selected line nIndex alone (-1: none), the caret on it.
struct Select {
    CarList list = CarList::Available;
    int nIndex = -1;
};
// The player made this selection in the list (clicks with Shift or Ctrl, Shift with the arrows).
struct SelectLines {
    CarList list = CarList::Available;
    Selection selection;
};
// Ctrl+A: every line of the list, the caret where it was (the first line when there was none).
struct SelectAll {
    CarList list = CarList::Available;
};
// Selects the first car whose name begins with the characters typed so far, case ignored; a pause
// of kTypeAheadPauseMs starts afresh. nTimeMs: when c was typed.
struct TypeAhead {
    static constexpr std::uint32_t kTypeAheadPauseMs = 1000;
    CarList list = CarList::Available;
    char c = 0;
    std::uint32_t nTimeMs = 0;
};
struct Undo {};
struct Redo {};
// The installed list replaced by a kept list's records.
struct Restore {
    std::vector<std::unique_ptr<CarRecord>> apRecords;
};
struct Load {};  // both lists read afresh from the game folder
struct Clear {}; // both lists emptied, as when the window hides

} // namespace command

using ListCommand =
    std::variant<command::Install, command::Uninstall, command::Up, command::Down, command::Top,
                 command::Bottom, command::Drop, command::Select, command::SelectLines,
                 command::SelectAll, command::TypeAhead, command::Undo, command::Redo,
                 command::Restore, command::Load, command::Clear>;

// Which lines of one list a command replaced: lines nFirst to nOldEnd (exclusive) of the list as
// it was became lines nFirst to nNewEnd of the list as it is; the lines before and after stayed.
struct LineChange {
    int nFirst = 0;
    int nOldEnd = 0;
    int nNewEnd = 0;
    [[nodiscard]] bool Any() const { return nFirst < nOldEnd || nFirst < nNewEnd; }
};

// What the window must draw again after a command: the changed lines of each list. Selections,
// descriptions, pictures and Ok are few enough to be compared with the model every time.
struct ModelChange {
    LineChange available;
    LineChange installed;
};
