#include "pictures/PictureCache.h"

#include "gamedata/ArchiveReader.h"
#include "platform/AsciiCase.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#endif

namespace {

constexpr int kTileSide = 64;
constexpr std::size_t kLooseTileOffset = 38;
constexpr std::uint64_t kPixiesStart = 16;  // first pixel-map record within the entry
constexpr std::uint64_t kRecordHead = 21;   // bytes before a record's name
constexpr std::uint64_t kPixelHead = 16;    // bytes between a record's name and its pixels
constexpr std::uint64_t kRecordRest = 8216; // pixel head, pixels and tail
constexpr const char* kPixiesName = "PIXIES.P16";
// No picture archive comes near this: six tiles take some 50 KB. Of a larger one only this much
// is read, and the tiles beyond it stay black.
constexpr std::size_t kMaxArchiveBytes = 1024 * 1024;

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

// A tile of the nHave bytes at pPixels (at most a tile's), zeros where they end early.
std::unique_ptr<CPictureCache::Tile> TileOf(const std::uint8_t* pPixels, std::size_t nHave) {
    auto pTile = std::make_unique_for_overwrite<CPictureCache::Tile>();
    nHave = std::min(nHave, pTile->size());
    std::memcpy(pTile->data(), pPixels, nHave);
    std::fill(pTile->begin() + static_cast<std::ptrdiff_t>(nHave), pTile->end(), std::uint8_t{0});
    return pTile;
}

// The tile of a loose tile file just opened, or none when it cannot be read.
std::unique_ptr<CPictureCache::Tile> ReadLooseTile(CFile& file) {
    try {
        // The head and the pixels in one request to the system.
        std::array<std::uint8_t, kLooseTileOffset + CPictureCache::kTileBytes> aBytes;
        const std::size_t nRead = file.Read(aBytes.data(), aBytes.size());
        return nRead <= kLooseTileOffset
                   ? TileOf(aBytes.data(), 0)
                   : TileOf(aBytes.data() + kLooseTileOffset, nRead - kLooseTileOffset);
    } catch (const CFileException&) {
        return nullptr; // stays black
    }
}

// One row of a tile: 64 pixels of two bytes (b0, b1) become blue (b1 & 0x0F) << 4, green
// b1 & 0xF0 and red (b0 & 0x0F) << 4. Composing is a good part of the load's own work, so where
// SSE2 is there (every x86 processor that runs the program) eight pixels are done at once.
void PutRow(const std::uint8_t* pSource, std::uint8_t* pRow) {
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
    const __m128i lowNibbleUp = _mm_set1_epi16(0x00F0);
    const __m128i highNibble = _mm_set1_epi16(static_cast<short>(0xF000));
    const __m128i firstPixel = _mm_set1_epi64x(0x0000000000FFFFFF);
    const __m128i secondPixel = _mm_set1_epi64x(0x0000FFFFFF000000);
    // Two pixels of a 64-bit lane, each as blue, green, red and a zero byte, packed into its
    // low six bytes.
    const auto pack = [&](__m128i pixels) {
        return _mm_or_si128(_mm_and_si128(pixels, firstPixel),
                            _mm_and_si128(_mm_srli_epi64(pixels, 8), secondPixel));
    };
    for (int i = 0; i < kTileSide; i += 8, pSource += 16, pRow += 24) {
        // Each 16-bit lane is one pixel, b0 | b1 << 8.
        const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSource));
        const __m128i blueGreen = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(words, 4), lowNibbleUp),
                                               _mm_and_si128(words, highNibble));
        const __m128i red = _mm_and_si128(_mm_slli_epi16(words, 4), lowNibbleUp);
        const __m128i first = pack(_mm_unpacklo_epi16(blueGreen, red));  // pixels 0 to 3
        const __m128i second = pack(_mm_unpackhi_epi16(blueGreen, red)); // pixels 4 to 7
        // Eight-byte stores six bytes apart: each one's two spare bytes are overwritten by the
        // next. The last pair of a row goes in its exact six bytes, as the row's end is the next
        // tile's or row's start, or the picture's end.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pRow), first);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pRow + 6), _mm_srli_si128(first, 8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pRow + 12), second);
        if (i + 8 < kTileSide) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pRow + 18), _mm_srli_si128(second, 8));
        } else {
            alignas(16) std::uint8_t aLast[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(aLast), _mm_srli_si128(second, 8));
            std::memcpy(pRow + 18, aLast, 6);
        }
    }
#else
    for (int i = 0; i < kTileSide; ++i, pSource += 2, pRow += 3) {
        const std::uint8_t b0 = pSource[0];
        const std::uint8_t b1 = pSource[1];
        pRow[0] = static_cast<std::uint8_t>((b1 & 0x0F) << 4);
        pRow[1] = static_cast<std::uint8_t>(b1 & 0xF0);
        pRow[2] = static_cast<std::uint8_t>((b0 & 0x0F) << 4);
    }
#endif
}

// Blackens the place of a tile that did not come back.
void ClearTile(int x, int y, std::uint8_t* pPicture) {
    for (int j = 0; j < kTileSide; ++j)
        std::fill_n(pPicture + 3 * (CPictureSink::kPictureWidth * (y + j) + x), 3 * kTileSide,
                    std::uint8_t{0});
}

// The bytes of a picture archive just opened from its first "PIXIES.P16" entry (the name matched
// exactly) on, and the entry's size; none when it has no such entry. The archive is read whole, at
// most kMaxArchiveBytes of it, in one request, into pBuffer (of kMaxArchiveBytes).
std::optional<std::pair<std::string_view, std::uint64_t>> ReadPixies(CFile& archive,
                                                                     char* pBuffer) {
    const std::string_view bytes(pBuffer, archive.Read(pBuffer, kMaxArchiveBytes));
    const ArchiveDirectory directory = ParseArchiveDirectory(bytes.substr(0, kMaxArchiveHeadBytes));
    const auto it = std::find_if(directory.m_aEntries.begin(), directory.m_aEntries.end(),
                                 [](const ArchiveEntry& e) { return e.m_strName == kPixiesName; });
    if (it == directory.m_aEntries.end())
        return std::nullopt;
    const std::size_t nAt =
        static_cast<std::size_t>(std::min<std::uint64_t>(it->m_nOffset, bytes.size()));
    return std::pair(bytes.substr(nAt), std::uint64_t{it->m_nSize});
}

} // namespace

CPictureCache::CPictureCache(CPictureSink& sink) : m_sink(sink) {}

void CPictureCache::InitPictures() {
    m_sink.CreateImageList();
    m_nPictures = 0;
    m_astrPicture.clear();
    m_mapPicture.clear();
    m_anImage.clear();
}

int CPictureCache::NumberPicture(const std::string& strFileBase) {
    const auto [it, bNew] =
        m_mapPicture.try_emplace(strFileBase, static_cast<int>(m_astrPicture.size()));
    if (bNew) {
        m_astrPicture.push_back(strFileBase);
        m_anImage.push_back(kNotComposed);
    }
    return it->second;
}

int CPictureCache::ImageOf(int nPicture) {
    if (nPicture < 0 || nPicture >= static_cast<int>(m_anImage.size()))
        return -1;
    int& nImage = m_anImage[static_cast<std::size_t>(nPicture)];
    if (nImage == kNotComposed) {
        // None until it is in the sink: a sink that refuses it raises, and is not asked again.
        nImage = -1;
        if (m_nPictures < kMaxPictures)
            nImage = Compose(m_astrPicture[static_cast<std::size_t>(nPicture)]);
    }
    return nImage;
}

int CPictureCache::Compose(const std::string& strFileBase) {
    // The archive, when it opens, is the source; it stays open for all six tiles so that its
    // directory is read once per picture rather than once per tile. Otherwise the open of the
    // first loose tile file both chooses the source and reads that tile: each file is opened once.
    // Every pixel belongs to one of the six tiles, each either put or blackened, so the buffer
    // need not be zeroed first.
    if (!m_pPicture)
        m_pPicture = std::make_unique_for_overwrite<std::uint8_t[]>(CPictureSink::kPictureBytes);
    std::uint8_t* const pPicture = m_pPicture.get();
    {
        CFile archive;
        std::optional<std::pair<std::string_view, std::uint64_t>> pixies;
        CFile firstLoose;
        try {
            archive.Open(ArchivePath(strFileBase), CFile::modeRead);
            if (!m_pArchive)
                m_pArchive = std::make_unique_for_overwrite<char[]>(kMaxArchiveBytes);
            pixies = ReadPixies(archive, m_pArchive.get());
        } catch (const CFileException&) {
            if (!archive.IsOpen()) {
                try {
                    firstLoose.Open(LooseTilePath(strFileBase, kTilePlaces[0].nLetter),
                                    CFile::modeRead);
                } catch (const CFileException&) {
                    return -1; // no source
                }
            }
        }

        for (const TilePlace& place : kTilePlaces) {
            std::unique_ptr<Tile> pTile;
            if (archive.IsOpen()) {
                if (pixies) // a tile that cannot be read stays black
                    pTile =
                        ReadArchiveTile(pixies->first, pixies->second, strFileBase, place.nLetter);
            } else if (&place == &kTilePlaces[0]) {
                pTile = ReadLooseTile(firstLoose);
            } else {
                pTile = ReadTile(strFileBase, place.nLetter, TileSource::LooseFiles);
            }
            if (pTile)
                PutTile(place.x, place.y, *pTile, pPicture);
            else
                ClearTile(place.x, place.y, pPicture);
        }
    }

    const int nImage = m_sink.AddPicture(pPicture);
    if (nImage < 0)
        return -1;
    ++m_nPictures;
    return nImage;
}

std::unique_ptr<CPictureCache::Tile> CPictureCache::ReadTile(const std::string& strFileBase,
                                                             char nLetter, TileSource source) {
    try {
        if (source == TileSource::LooseFiles) {
            CFile file(LooseTilePath(strFileBase, nLetter), CFile::modeRead);
            return ReadLooseTile(file);
        }
        CFile archive(ArchivePath(strFileBase), CFile::modeRead);
        const auto pBuffer = std::make_unique_for_overwrite<char[]>(kMaxArchiveBytes);
        const auto pixies = ReadPixies(archive, pBuffer.get());
        if (!pixies)
            return nullptr;
        return ReadArchiveTile(pixies->first, pixies->second, strFileBase, nLetter);
    } catch (const CFileException&) {
        return nullptr; // a tile that cannot be read stays black
    }
}

std::unique_ptr<CPictureCache::Tile> CPictureCache::ReadArchiveTile(std::string_view pixies,
                                                                    std::uint64_t nSize,
                                                                    const std::string& strFileBase,
                                                                    char nLetter) {
    const std::string strTarget = strFileBase + nLetter;
    for (std::uint64_t r = kPixiesStart; r < nSize;) {
        const std::uint64_t nName = r + kRecordHead;
        if (nName >= pixies.size())
            return nullptr; // the archive ends before the name: no tile further on
        // No name is longer than the entry that holds it.
        const std::string_view rest = pixies.substr(
            static_cast<std::size_t>(nName),
            static_cast<std::size_t>(std::min<std::uint64_t>(nSize + 1, pixies.size())));
        const std::size_t nNul = rest.find('\0');
        if (nNul == std::string_view::npos)
            return nullptr; // the archive ends inside a name
        if (EqualNoCase(rest.substr(0, nNul), strTarget)) {
            const std::size_t nPixels = static_cast<std::size_t>(
                std::min<std::uint64_t>(nName + nNul + 1 + kPixelHead, pixies.size()));
            return TileOf(reinterpret_cast<const std::uint8_t*>(pixies.data()) + nPixels,
                          pixies.size() - nPixels);
        }
        r += kRecordHead + nNul + 1 + kRecordRest;
    }
    return nullptr;
}

void CPictureCache::PutTile(int x, int y, const Tile& tile, std::uint8_t* pPicture) {
    if (x < 0 || y < 0 || x + kTileSide > CPictureSink::kPictureWidth ||
        y + kTileSide > CPictureSink::kPictureHeight)
        return; // never write outside the picture
    const std::uint8_t* pSource = tile.data();
    for (int j = 0; j < kTileSide; ++j, pSource += 2 * kTileSide)
        PutRow(pSource, pPicture + 3 * (CPictureSink::kPictureWidth * (y + j) + x));
}
