#pragma once

#include "lists/InstallerWindow.h"
#include "lists/PassedOverCar.h"
#include "lists/UndoHistory.h"
#include "opponents/CarRecord.h"
#include "pictures/PictureCache.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The installer's logic behind the main dialog: the two car lists and their commands, the start-up
// load and saving; it owns the picture cache. The Windows dialog CInstallerDlg derives from it, so
// these members are its members; it reaches its window only through CInstallerWindow.
class CInstallerCore {
public:
    static constexpr int kMaxCars = 2000;
    static constexpr int kMaxPictures = CPictureCache::kMaxPictures;

    explicit CInstallerCore(CInstallerWindow& window);
    virtual ~CInstallerCore();
    CInstallerCore(const CInstallerCore&) = delete;
    CInstallerCore& operator=(const CInstallerCore&) = delete;

    // Car lists and commands (lists/CarLists.cpp).
    // Appends the record to its list; a full list keeps what it has and gives false.
    bool AddEntry(std::unique_ptr<CarRecord> pRecord, bool bAvailable);
    // Puts the record in at nIndex (0 to the count); false, and nothing changed, when the list
    // is full or the index is out of range.
    bool InsertEntry(int nIndex, std::unique_ptr<CarRecord> pRecord, bool bAvailable);
    void RemoveEntry(int nIndex, bool bAvailable);
    // Moves the installed car at nFrom to nTo, as one removal and one insertion.
    void MoveInstalled(int nFrom, int nTo);
    void ClearLists();
    void OnInstall();
    void OnUninstall();
    void OnUp();
    void OnDown();
    void OnTop();    // the selected installed car to the top
    void OnBottom(); // and to the bottom
    void ShowInstalled();
    void ShowAvailable();
    // The commands behind the buttons, for any car: install a copy of available car
    // nAvailable at nPosition (0 to the count) of the installed list; uninstall installed car
    // nInstalled (exporting it when no available car has its name); move installed car nFrom to
    // nTo. Each is one undoable step, and selects the car where it lands and shows it.
    void InstallAt(int nAvailable, int nPosition);
    void UninstallAt(int nInstalled);
    void MoveInstalledCar(int nFrom, int nTo);
    // A car dragged from line nItem of list nFromList and dropped on list nToList (0: neither),
    // in the installed list before line nPosition (the count: after the last). Within the
    // installed list it moves there; from the available list it is installed there; from the
    // installed list onto the available list it is uninstalled. Anything else changes nothing.
    void OnDrop(int nFromList, int nItem, int nToList, int nPosition);
    // Selects the first car of the list whose name begins with the characters typed so far,
    // case ignored; a pause of kTypeAheadPauseMs starts afresh. nTimeMs: when c was typed.
    void OnTypeAhead(bool bAvailable, char c, std::uint32_t nTimeMs);
    static constexpr std::uint32_t kTypeAheadPauseMs = 1000;

    // Undo and redo (lists/Undo.cpp).
    //
    // Makes the list changes of one command a single step of the history. A command that changes
    // a list opens one before its first change and changes the lists only through AddEntry,
    // InsertEntry, RemoveEntry and MoveInstalled while it lives:
    //     const CStep step(*this);
    //     InsertEntry(...);
    //     m_window.SetCurSel(...);
    // The selections of both lists are kept from its start and its end. Steps nest: an inner one
    // joins the outer one. A command that ends by an exception has its changes taken back and
    // records nothing; one that changed nothing records nothing either.
    class CStep {
    public:
        explicit CStep(CInstallerCore& core);
        ~CStep();
        CStep(const CStep&) = delete;
        CStep& operator=(const CStep&) = delete;

    private:
        CInstallerCore& m_core;
        int m_nExceptions;
    };
    // Undo puts both lists and their selections back as before the last step and shows the
    // selected cars; redo does the step again, with the result it had the first time.
    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return m_history.CanUndo(); }
    [[nodiscard]] bool CanRedo() const { return m_history.CanRedo(); }
    // Replaces the installed list with these records, as one step; a list longer than the
    // installed list may hold is refused.
    void RestoreInstalled(std::vector<std::unique_ptr<CarRecord>> apRecords);

    // Start-up load and saving (lists/LoadSave.cpp).
    void OnShowWindow(bool bShow);
    void LoadAll();
    void SaveAndClose();
    void OnCan();
    // The car files the last load passed over, one "NAME: reason" line each, at most
    // kMaxPassedOverLines of them and then a line saying how many more.
    static constexpr std::size_t kMaxPassedOverLines = 30;
    [[nodiscard]] std::string PassedOverText() const;

    // The picture cache's operations, reachable from the dialog under its own names.
    using Tile = CPictureCache::Tile;
    using TileSource = CPictureCache::TileSource;
    void InitPictures() { m_pictures.InitPictures(); }
    int LoadPicture(const std::string& strFileBase) { return m_pictures.LoadPicture(strFileBase); }
    static std::unique_ptr<Tile> ReadTile(const std::string& strFileBase, char nLetter,
                                          TileSource source) {
        return CPictureCache::ReadTile(strFileBase, nLetter, source);
    }
    static void PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture) {
        CPictureCache::PutTile(x, y, tile, pPicture);
    }

    // Runs one handler as the window procedure would: an exception that escapes it is reported
    // through the window, and the handler is abandoned.
    template <typename Handler> void Run(Handler handler) {
        try {
            handler();
        } catch (const std::exception& e) {
            m_window.ReportError(e.what());
        }
    }

    std::array<std::unique_ptr<CarRecord>, kMaxCars> m_apInstalled;
    std::array<std::unique_ptr<CarRecord>, kMaxCars> m_apAvailable;
    int m_nInstalled = 0;
    int m_nAvailable = 0;
    CPictureCache m_pictures;
    // The cache's names and count, read-only here: only the cache adds to them.
    const std::vector<std::string>& m_astrPicture = m_pictures.m_astrPicture;
    const int& m_nPictures = m_pictures.m_nPictures;
    bool m_bLoaded = false; // the last load read both lists whole; Ok is offered only then
    std::vector<PassedOverCar> m_aPassedOver; // car files the last load found but could not list
    // The bytes of the opponent list as the load read them: Ok asks before replacing others.
    std::string m_strListRead;
    bool m_bArchiveProblemTold = false; // the player hears of a stuck archive once per start

protected:
    CInstallerWindow& m_window;

private:
    // Takes the record at nIndex out of its list; null when the index is out of range.
    std::unique_ptr<CarRecord> TakeEntry(int nIndex, bool bAvailable);
    // The last change of the open step stands for a car file just written (see ListChange).
    void KeepLastChange();
    // Makes one change, forward as it was recorded or backward; records nothing.
    void Replay(const ListChange& change, bool bForward);
    [[nodiscard]] ListSelections Selections() const;
    void SelectAndShow(const ListSelections& selections);

    CUndoHistory m_history;
    std::unique_ptr<UndoStep> m_pOpenStep; // the step that records changes, while one is open
    int m_nStepDepth = 0;
    struct TypeAhead {
        std::string strTyped;
        std::uint32_t nLastMs = 0;
    };
    TypeAhead m_typeAheadInstalled;
    TypeAhead m_typeAheadAvailable;
};
