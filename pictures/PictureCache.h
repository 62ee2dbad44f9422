#pragma once

#include "pictures/PictureSink.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Car pictures composed from the game's tile files, each file base once: picture i of the sink is
// the picture of cache name i.
class CPictureCache {
public:
    static constexpr int kMaxPictures = 4000;
    static constexpr std::size_t kTileBytes = 64 * 64 * 2; // 8192
    using Tile = std::array<std::uint8_t, kTileBytes>;
    enum class TileSource { Archive, LooseFiles };

    explicit CPictureCache(CPictureSink& sink);
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    void InitPictures();
    // The picture index for the file base, composing the picture at its first use; -1 when the
    // car has no picture source.
    int LoadPicture(const std::string& strFileBase);
    // Tile nLetter ('A' to 'F') of file base strFileBase from the chosen source, or none.
    static std::unique_ptr<Tile> ReadTile(const std::string& strFileBase, char nLetter,
                                          TileSource source);
    // Copies a tile into the picture (blue, green, red, rows from the top) at pixel (x, y).
    static void PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture);

    std::vector<std::string> m_astrPicture; // kMaxPictures names, made in the constructor
    int m_nPictures = 0;

private:
    // Tile nLetter of strFileBase from the bytes of a picture archive from its "PIXIES.P16" entry
    // on; the entry is nSize bytes long.
    static std::unique_ptr<Tile> ReadArchiveTile(std::string_view pixies, std::uint64_t nSize,
                                                 const std::string& strFileBase, char nLetter);

    CPictureSink& m_sink;
    std::unordered_map<std::string, int> m_mapPicture; // name -> index in m_astrPicture
    // Where each picture is composed before the sink copies it; one for all, as under Wine every
    // buffer of this size made and freed mapped and unmapped memory.
    std::unique_ptr<std::uint8_t[]> m_pPicture;
    std::unique_ptr<char[]> m_pArchive; // the picture archive being read, for the same reason
};
