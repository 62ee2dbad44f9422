#include "pictures/PictureCache.h"

#include "gamedata/ArchiveReader.h"
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/ReadNulEndedName.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int kTileSide = 64;
constexpr std::uint64_t kLooseTileOffset = 38;
constexpr std::uint64_t kPixiesStart = 16;  // first pixel-map record within the entry
constexpr std::uint64_t kRecordHead = 21;   // bytes before a record's name
constexpr std::uint64_t kPixelHead = 16;    // bytes between a record's name and its pixels
constexpr std::uint64_t kRecordRest = 8216; // pixel head, pixels and tail
constexpr const char* kPixiesName = "PIXIES.P16";

struct TilePlace {
    char nLetter;
    int x;
    int y;
};
constexpr TilePlace kTilePlaces[] = {{'A', 0, 0},  {'B', 64, 0},  {'C', 128, 0},
                                     {'D', 0, 64}, {'E', 64, 64}, {'F', 128, 64}};

std::string ArchivePath(const std::string& strFileBase) {
    return "data\\intrface\\carimage\\" + strFileBase + "CI.TWT";
}

std::string LooseTilePath(const std::string& strFileBase, char nLetter) {
    return "data\\intrface\\carimage\\" + strFileBase + "CI\\PIX16\\" + strFileBase + nLetter +
           ".PIX";
}

std::unique_ptr<CPictureCache::Tile> ReadPixels(CFile& file) {
    auto pTile = std::make_unique_for_overwrite<CPictureCache::Tile>();
    const std::size_t nRead = file.Read(pTile->data(), pTile->size());
    std::fill(pTile->begin() + static_cast<std::ptrdiff_t>(nRead), pTile->end(),
              std::uint8_t{0}); // zeros where the file ends early
    return pTile;
}

// Blackens the place of a tile that did not come back.
void ClearTile(int x, int y, std::uint8_t* pPicture) {
    for (int j = 0; j < kTileSide; ++j)
        std::fill_n(pPicture + 3 * (CPictureSink::kPictureWidth * (y + j) + x), 3 * kTileSide,
                    std::uint8_t{0});
}

// The first "PIXIES.P16" entry of an open picture archive (the name matched exactly).
std::optional<ArchiveEntry> FindPixies(CFile& archive) {
    const ArchiveDirectory directory = ReadArchiveDirectory(archive);
    const auto it = std::find_if(directory.m_aEntries.begin(), directory.m_aEntries.end(),
                                 [](const ArchiveEntry& e) { return e.m_strName == kPixiesName; });
    if (it == directory.m_aEntries.end())
        return std::nullopt;
    return *it;
}

} // namespace

CPictureCache::CPictureCache(CPictureSink& sink) : m_astrPicture(kMaxPictures), m_sink(sink) {}

void CPictureCache::InitPictures() {
    m_sink.CreateImageList();
    m_nPictures = 0;
    m_mapPicture.clear();
}

int CPictureCache::LoadPicture(const std::string& strFileBase) {
    if (const auto it = m_mapPicture.find(strFileBase); it != m_mapPicture.end())
        return it->second;
    if (m_nPictures >= kMaxPictures)
        return -1;

    // The archive, when it opens, is the source; it stays open for all six tiles so that its
    // directory is read once per picture rather than once per tile.
    // Every pixel belongs to one of the six tiles, each either put or blackened, so the buffer
    // need not be zeroed first.
    const auto pPicture =
        std::make_unique_for_overwrite<std::uint8_t[]>(CPictureSink::kPictureBytes);
    {
        CFile archive;
        std::optional<ArchiveEntry> pixies;
        try {
            archive.Open(ArchivePath(strFileBase), CFile::kBinaryRead);
            pixies = FindPixies(archive);
        } catch (const CFileException&) {
            if (!archive.IsOpen() && !CFile::Exists(LooseTilePath(strFileBase, 'A')))
                return -1; // no source: nothing cached, so a later call probes again
        }

        for (const TilePlace& place : kTilePlaces) {
            std::unique_ptr<Tile> pTile;
            if (archive.IsOpen()) {
                if (pixies) {
                    try {
                        pTile = ReadArchiveTile(archive, *pixies, strFileBase, place.nLetter);
                    } catch (const CFileException&) {
                        // A tile that cannot be read stays black.
                    }
                }
            } else {
                pTile = ReadTile(strFileBase, place.nLetter, TileSource::LooseFiles);
            }
            if (pTile)
                PutTile(place.x, place.y, *pTile, pPicture.get());
            else
                ClearTile(place.x, place.y, pPicture.get());
        }
    }

    if (m_sink.AddPicture(pPicture.get()) < 0)
        return -1; // the image list refused it; cache and image indexes stay equal
    m_astrPicture[m_nPictures] = strFileBase;
    m_mapPicture.emplace(strFileBase, m_nPictures);
    return m_nPictures++;
}

std::unique_ptr<CPictureCache::Tile> CPictureCache::ReadTile(const std::string& strFileBase,
                                                             char nLetter, TileSource source) {
    try {
        if (source == TileSource::LooseFiles) {
            CFile file(LooseTilePath(strFileBase, nLetter), CFile::kBinaryRead);
            file.Seek(kLooseTileOffset);
            return ReadPixels(file);
        }
        CFile archive(ArchivePath(strFileBase), CFile::kBinaryRead);
        const std::optional<ArchiveEntry> pixies = FindPixies(archive);
        if (!pixies)
            return nullptr;
        return ReadArchiveTile(archive, *pixies, strFileBase, nLetter);
    } catch (const CFileException&) {
        return nullptr; // a tile that cannot be read stays black
    }
}

std::unique_ptr<CPictureCache::Tile> CPictureCache::ReadArchiveTile(CFile& archive,
                                                                    const ArchiveEntry& entry,
                                                                    const std::string& strFileBase,
                                                                    char nLetter) {
    const std::string strTarget = AsciiLower(strFileBase + nLetter);
    const std::uint64_t nSize = entry.m_nSize;
    for (std::uint64_t r = kPixiesStart; r < nSize;) {
        archive.Seek(entry.m_nOffset + r + kRecordHead);
        // No name is longer than the entry that holds it.
        const std::optional<std::string> strName =
            ReadNulEndedName(archive, static_cast<std::size_t>(nSize));
        if (!strName)
            return nullptr; // the archive ends inside a name: no tile further on
        if (AsciiLower(*strName) == strTarget) {
            archive.Seek(archive.GetPosition() + kPixelHead);
            return ReadPixels(archive);
        }
        r += kRecordHead + strName->size() + 1 + kRecordRest;
    }
    return nullptr;
}

void CPictureCache::PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture) {
    if (x < 0 || y < 0 || x + kTileSide > CPictureSink::kPictureWidth ||
        y + kTileSide > CPictureSink::kPictureHeight)
        return; // never write outside the picture
    const std::uint8_t* pSource = tile.data();
    for (int j = 0; j < kTileSide; ++j) {
        std::uint8_t* pPixel = pPicture + 3 * (CPictureSink::kPictureWidth * (y + j) + x);
        for (int i = 0; i < kTileSide; ++i, pSource += 2, pPixel += 3) {
            const std::uint8_t b0 = pSource[0];
            const std::uint8_t b1 = pSource[1];
            pPixel[0] = static_cast<std::uint8_t>((b1 & 0x0F) << 4);
            pPixel[1] = static_cast<std::uint8_t>(b1 & 0xF0);
            pPixel[2] = static_cast<std::uint8_t>((b0 & 0x0F) << 4);
        }
    }
}
