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
    [[nodiscard]] int GetSelection(CarList list) const; // -1 for none
    // The description under the list: the car shown last, which stays after it left the list;
    // empty before the first. Its picture: the last picture number shown (-1: none yet), since a
    // car without one leaves the picture as it was.
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
        int nSelection = -1;
        std::string strShownInfo;
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
    void Do(const command::TypeAhead& typed);
    void Do(command::Undo);
    void Do(command::Redo);
    void Do(command::Restore& restore);
    void Do(command::Load);
    void Do(command::Clear);

    // The primitives the commands are made of. An insert or removal moves the list's selection
    // with its line, as a list box does; removing the selected line leaves none.
    void InsertEntry(CarList list, int nIndex, CarPtr pCar);
    void RemoveEntry(CarList list, int nIndex);
    void AddEntry(CarList list, CarPtr pCar) { InsertEntry(list, GetCount(list), std::move(pCar)); }
    void ClearLists();
    void SelectAndShow(CarList list, int nIndex);
    void ShowInstalled();
    void ShowAvailable();
    void InstallAt(int nAvailable, int nPosition);
    void UninstallAt(int nInstalled);
    void MoveInstalledCar(int nFrom, int nTo);
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
