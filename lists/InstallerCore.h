#pragma once

#include "lists/InstallerWindow.h"
#include "opponents/CarRecord.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CFile;
struct ArchiveEntry;

// The installer's logic behind the main dialog: the two car lists and their commands, the picture
// cache, the start-up load and saving. The Windows dialog CInstallerDlg derives from it, so these
// members are its members; it reaches its window only through CInstallerWindow.
class CInstallerCore {
public:
    static constexpr int kMaxCars = 2000;
    static constexpr int kMaxPictures = 4000;

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

    // Pictures (pictures/PictureLoader.cpp).
    static constexpr std::size_t kTileBytes = 64 * 64 * 2; // 8192
    using Tile = std::array<std::uint8_t, kTileBytes>;
    enum class TileSource { Archive, LooseFiles };
    void InitPictures();
    int LoadPicture(const std::string& strFileBase);
    // Tile nLetter ('A' to 'F') of file base strFileBase from the chosen source, or none.
    static std::unique_ptr<Tile> ReadTile(const std::string& strFileBase, char nLetter,
                                          TileSource source);
    // Copies a tile into the picture (blue, green, red, rows from the top) at pixel (x, y).
    static void PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture);

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
    std::vector<std::string> m_astrPicture; // kMaxPictures names, made in the constructor
    int m_nPictures = 0;
    bool m_bLoaded = false; // the last load read both lists whole; Ok is offered only then

protected:
    CInstallerWindow& m_window;

private:
    // Tile nLetter of strFileBase from the "PIXIES.P16" entry of an open picture archive.
    static std::unique_ptr<Tile> ReadArchiveTile(CFile& archive, const ArchiveEntry& entry,
                                                 const std::string& strFileBase, char nLetter);

    std::unordered_map<std::string, int> m_mapPicture; // name -> index in m_astrPicture
};
