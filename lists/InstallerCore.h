#pragma once

#include "lists/Commands.h"
#include "lists/InstallerWindow.h"
#include "lists/KeptLists.h"
#include "lists/PassedOverCar.h"
#include "lists/UndoHistory.h"
#include "opponents/CarRecord.h"
#include "pictures/PictureCache.h"
#include "pictures/ShownPicture.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The installer's model: the two car lists, what the player has selected and sees described, the
// undo history, what the load read, and saving. It knows no window: every change enters through
// Apply, which says which lines changed, and the window draws what the accessors give.
class CInstallerCore {
public:
    static constexpr int kMaxCars = 2000;

    // Pictures go to the sink (the window's image list) as the load composes them; the window
    // answers the model's questions and shows its errors and progress.
    CInstallerCore(CInstallerWindow& window, CPictureSink& pictures);
    CInstallerCore(const CInstallerCore&) = delete;
    CInstallerCore& operator=(const CInstallerCore&) = delete;

    // The one door: runs the command as one undoable step (undo, redo, selecting, the load and
    // clearing record none) and gives the lines it changed. A command that ends by an exception
    // leaves everything as it was (a car file it wrote stays) and passes the exception on.
    ModelChange Apply(ListCommand command);

    // What the window draws.
    [[nodiscard]] int GetCount(CarList list) const;
    [[nodiscard]] const CarRecord& GetCar(CarList list, int nIndex) const;
    [[nodiscard]] const Selection& GetSelection(CarList list) const;
    // The description under the list: the car under the caret when a car is selected, shown last,
    // which stays after it left the list; empty before the first. With several selected, a first
    // line says how many ("3 cars selected"). Its picture: the last picture number shown (-1: none
    // yet), since a car without one leaves the picture as it was.
    [[nodiscard]] const std::string& GetShownInfo(CarList list) const;
    [[nodiscard]] int GetShownImage(CarList list) const;
    // The picture to draw under the list, composed at its first showing: the sink's index of the
    // newest shown car's picture that could be composed, -1 while none could (a car whose picture
    // files are missing leaves the picture as it was). Asked only while the pictures are seen.
    [[nodiscard]] int ComposeShownImage(CarList list);
    // Whether Ok may write the installed list: only a list read whole (or restored whole) is.
    [[nodiscard]] bool IsLoaded() const { return m_bLoaded; }
    [[nodiscard]] bool CanUndo() const { return m_history.CanUndo(); }
    [[nodiscard]] bool CanRedo() const { return m_history.CanRedo(); }
    // What undo and redo would take back or do again, as the menu names it: "Install Blazer",
    // "Install 12 Cars", "Move Up Hornet", "Restore Opponent List"; empty when nothing.
    [[nodiscard]] std::string GetUndoName() const;
    [[nodiscard]] std::string GetRedoName() const;
    // Whether leaving now would lose changes: the installed list is not what the load read.
    [[nodiscard]] bool HasChanges() const;
    [[nodiscard]] bool HasPassedOver() const { return !m_aPassedOver.empty(); }
    // The car files the last load passed over, one "NAME: reason" line each, at most
    // kMaxPassedOverLines of them and then a line saying how many more.
    static constexpr std::size_t kMaxPassedOverLines = 30;
    [[nodiscard]] std::string PassedOverText() const;
    // The kept opponent lists that the installed list can be restored to, with their pictures.
    [[nodiscard]] std::vector<RestorableList> ReadRestorableLists();

    // Ok: writes the installed list as the game's opponent list, asking before it replaces a list
    // another program changed, keeping the bytes it replaces. True when the list on disk is now
    // the installed list and the window may close; false when the player should stay (the reason
    // was reported). Raises CFileException when the writing fails.
    [[nodiscard]] bool SaveAndClose();

private:
    struct CarListState {
        std::vector<CarPtr> apCars; // in list order, at most kMaxCars
        Selection selection;
        std::string strShownInfo;
        std::string strShownCarInfo; // the shown car's own text, without a count
        int nShownImage = -1;
    };

    // The commands (lists/CarLists.cpp), each applied to the lists in place.
    void Do(command::Install);
    void Do(command::Uninstall);
    void Do(command::Up);
    void Do(command::Down);
    void Do(command::Top);
    void Do(command::Bottom);
    void Do(const command::Drop& drop);
    void Do(const command::Select& select);
    void Do(command::SelectLines& select);
    void Do(const command::SelectAll& select);
    void Do(const command::TypeAhead& typed);
    void Do(command::Undo);
    void Do(command::Redo);
    void Do(command::Restore& restore);
    void Do(command::Load);
    void Do(command::Clear);

    // The primitives the commands are made of. An insert or removal moves the list's selection
    // and caret with their lines, as a list box does; a removed line leaves them.
    void InsertEntry(CarList list, int nIndex, CarPtr pCar);
    void RemoveEntry(CarList list, int nIndex);
    void ClearLists();
    // Selects the lines (out-of-range ones dropped) and shows the car under the caret.
    void SelectAndShow(CarList list, Selection selection);
    void SelectOnly(CarList list, int nIndex);
    void Show(CarList list);
    // The lines a command acts on: the list's selection, or nItem alone when it is not selected.
    [[nodiscard]] std::vector<int> LinesWith(CarList list, int nItem) const;
    void InstallLines(const std::vector<int>& anLines, int nPosition);
    void UninstallLines(const std::vector<int>& anLines);
    // The installed list in a new order of its own cars; the selection and caret follow their cars.
    void Reorder(std::vector<CarPtr> apCars, const char* szVerb);
    // The installed list's selected cars and the others, each in list order.
    void SplitSelected(std::vector<CarPtr>& apSelected, std::vector<CarPtr>& apOthers) const;
    [[nodiscard]] ListSnapshot Snapshot() const;
    void PutBack(const ListSnapshot& snapshot);
    // The start-up load (lists/LoadSave.cpp).
    void LoadAll();

    CarListState& State(CarList list) {
        return list == CarList::Available ? m_available : m_installed;
    }
    [[nodiscard]] const CarListState& State(CarList list) const {
        return list == CarList::Available ? m_available : m_installed;
    }

    CInstallerWindow& m_window;
    CPictureCache m_pictures;
    // The picture numbers shown under each list in turn, noted by Apply, for ComposeShownImage.
    CShownPicture m_shownAvailable;
    CShownPicture m_shownInstalled;
    CarListState m_available;
    CarListState m_installed;
    bool m_bLoaded = false; // the last load read both lists whole; Ok is offered only then
    CUndoHistory m_history;
    std::string m_strStepName;                // what the running command is called in the Undo item
    std::vector<PassedOverCar> m_aPassedOver; // car files the last load found but could not list
    // The bytes of the opponent list as the load read them, none when there was none: Ok asks
    // before replacing others.
    std::optional<std::string> m_strListRead;
    std::vector<CarPtr> m_apLoaded;     // the installed list as the load read it
    bool m_bArchiveProblemTold = false; // the player hears of a stuck archive once per start
    bool m_bPicturesMade = false;       // the image list is made at the first load
    struct TypedSoFar {
        std::string strTyped;
        std::uint32_t nLastMs = 0;
    };
    TypedSoFar m_typedInstalled;
    TypedSoFar m_typedAvailable;
};
