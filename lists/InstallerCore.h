#pragma once

#include "lists/InstallerWindow.h"
#include "lists/PassedOverCar.h"
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
    void RemoveEntry(int nIndex, bool bAvailable);
    void ClearLists();
    void OnInstall();
    void OnUninstall();
    void OnUp();
    void OnDown();
    void ShowInstalled();
    void ShowAvailable();

    // Start-up load and saving (lists/LoadSave.cpp).
    void OnShowWindow(bool bShow);
    void LoadAll();
    void SaveAndClose();
    void OnCan();

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
};
