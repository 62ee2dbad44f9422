#pragma once

#include "pictures/PictureSink.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Car pictures composed from the game's tile files. A file base gets its picture number, in the
// order bases are first asked for, without any file being read; its picture is composed into the
// sink only when it is first to be drawn, so a start reads no picture file until one is shown.
class CPictureCache {
public:
    static constexpr int kMaxPictures = 4000; // pictures composed into the sink at most
    static constexpr std::size_t kTileBytes = 64 * 64 * 2; // 8192
    using Tile = std::array<std::uint8_t, kTileBytes>;
    enum class TileSource { Archive, LooseFiles };

    explicit CPictureCache(CPictureSink& sink);
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // Makes the sink's image list and forgets every number.
    void InitPictures();
    // The picture number of the file base (matched exactly); no file is read.
    int NumberPicture(const std::string& strFileBase);
    // The sink's index of picture nPicture, composed and added at its first request; -1 for -1,
    // for a car with no picture source (neither its archive nor its first loose tile opens) and
    // once kMaxPictures are composed. Kept for the session either way: a missing picture is
    // looked for once, not at every drawing.
    int ImageOf(int nPicture);
    // Tile nLetter ('A' to 'F') of file base strFileBase from the chosen source, or none.
    static std::unique_ptr<Tile> ReadTile(const std::string& strFileBase, char nLetter,
                                          TileSource source);
    // Copies a tile into the picture (blue, green, red, rows from the top) at pixel (x, y).
    static void PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture);

    std::vector<std::string> m_astrPicture; // the file base of each picture number
    int m_nPictures = 0;                    // pictures composed into the sink

private:
    static constexpr int kNotComposed = -2;

    // Composes the picture of strFileBase into the sink and gives its index; -1 when it has no
    // source.
    int Compose(const std::string& strFileBase);
    // Tile nLetter of strFileBase from the bytes of a picture archive from its "PIXIES.P16" entry
    // on; the entry is nSize bytes long.
    static std::unique_ptr<Tile> ReadArchiveTile(std::string_view pixies, std::uint64_t nSize,
                                                 const std::string& strFileBase, char nLetter);

    CPictureSink& m_sink;
    std::unordered_map<std::string, int> m_mapPicture; // file base -> picture number
    std::vector<int> m_anImage; // by picture number: the sink's index, -1 or kNotComposed
    // Where each picture is composed before the sink copies it; one for all, as under Wine every
    // buffer of this size made and freed mapped and unmapped memory.
    std::unique_ptr<std::uint8_t[]> m_pPicture;
    std::unique_ptr<char[]> m_pArchive; // the picture archive being read, for the same reason
};
