#include "pictures/PictureCache.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

using namespace gamefiles;
using namespace support;

namespace {

struct Bgr {
    std::uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

Bgr PixelAt(const std::vector<std::uint8_t>& aPicture, int x, int y) {
    const std::size_t n = 3 * static_cast<std::size_t>(192 * y + x);
    return {aPicture.at(n), aPicture.at(n + 1), aPicture.at(n + 2)};
}

// Tile letters A to F in picture order, and the top-left corner of each.
constexpr char kLetters[] = "ABCDEF";
constexpr int kTileX[] = {0, 64, 128, 0, 64, 128};
constexpr int kTileY[] = {0, 0, 0, 64, 64, 64};

// A distinct colour per tile: red = tile number, green and blue fixed.
std::string TileOf(int nTile) {
    return TilePixels(static_cast<std::uint8_t>(nTile + 1), 0x5A);
}
Bgr ColourOf(int nTile) {
    return {0xA0, 0x50, static_cast<std::uint8_t>((nTile + 1) << 4)};
}

// Checks every pixel of the picture: tile t is ColourOf(t), or black when aBlack says so.
void ExpectTiles(const std::vector<std::uint8_t>& aPicture, const std::vector<bool>& aBlack) {
    ASSERT_EQ(aPicture.size(), CPictureSink::kPictureBytes);
    for (int t = 0; t < 6; ++t) {
        const Bgr expected = aBlack[t] ? Bgr{0, 0, 0} : ColourOf(t);
        int nWrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                nWrong += PixelAt(aPicture, kTileX[t] + x, kTileY[t] + y) == expected ? 0 : 1;
        EXPECT_EQ(nWrong, 0) << "tile " << kLetters[t];
    }
}

class PictureLoaderTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        m_cache.InitPictures();
    }

    // A picture archive for strFileBase with the given tiles (by number) in its PIXIES.P16.
    void MakeArchive(const std::string& strFileBase, const std::vector<int>& aTiles,
                     const std::string& strEntryName = "PIXIES.P16") {
        std::vector<std::string> aRecords;
        for (int t : aTiles)
            aRecords.push_back(TileRecord(strFileBase + kLetters[t], TileOf(t)));
        WriteBytes(CarImageFolder() + strFileBase + "CI.TWT",
                   Archive({{"OTHER.DAT", "12345"}, {strEntryName, Pixies(aRecords)}}));
    }
    void MakeLooseTile(const std::string& strFileBase, int nTile) {
        WriteBytes(CarImageFolder() + strFileBase + "CI/PIX16/" + strFileBase + kLetters[nTile] +
                       ".PIX",
                   TileFile(TileOf(nTile)));
    }

    // The sink's index of the base's picture, composed now.
    int Picture(const std::string& strFileBase) {
        return m_cache.ImageOf(m_cache.NumberPicture(strFileBase));
    }

    CTestPictures m_pictures;
    CPictureCache m_cache{m_pictures};
};

TEST(PutTileTest, ConvertsPixelsAndPlacesThemRowByRow) {
    CPictureCache::Tile tile{};
    const int i = 5, j = 7; // column, row within the tile
    tile[2 * (64 * j + i)] = 0xF8;
    tile[2 * (64 * j + i) + 1] = 0x4C;
    std::vector<std::uint8_t> aPicture(CPictureSink::kPictureBytes, 0x11);

    CPictureCache::PutTile(64, 64, tile, aPicture.data());

    EXPECT_EQ(PixelAt(aPicture, 64 + i, 64 + j), (Bgr{0xC0, 0x40, 0x80}));
    EXPECT_EQ(PixelAt(aPicture, 64 + i + 1, 64 + j), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(aPicture, 63, 64), (Bgr{0x11, 0x11, 0x11})) << "left of the tile";
    EXPECT_EQ(PixelAt(aPicture, 128, 127), (Bgr{0x11, 0x11, 0x11})) << "right of the tile";
    EXPECT_EQ(PixelAt(aPicture, 64, 63), (Bgr{0x11, 0x11, 0x11})) << "above the tile";
}

// Every possible pixel, at every tile place, against the conversion worked out byte by byte;
// every byte outside the tile keeps its value (the row ends meet the next tile, the next row and
// the picture's end).
TEST(PutTileTest, ConvertsEveryPixelValueAndWritesNothingOutsideTheTile) {
    constexpr int kValuesPerTile = 64 * 64;
    for (int nPass = 0; nPass < 65536 / kValuesPerTile; ++nPass) {
        CPictureCache::Tile tile{};
        for (int n = 0; n < kValuesPerTile; ++n) {
            const int nValue = nPass * kValuesPerTile + n;
            tile[2 * n] = static_cast<std::uint8_t>(nValue >> 8);
            tile[2 * n + 1] = static_cast<std::uint8_t>(nValue & 0xFF);
        }
        const int t = nPass % 6;
        std::vector<std::uint8_t> aPicture(CPictureSink::kPictureBytes, 0x11);
        std::vector<std::uint8_t> aExpected = aPicture;
        for (int n = 0; n < kValuesPerTile; ++n) {
            const std::uint8_t b0 = tile[2 * n];
            const std::uint8_t b1 = tile[2 * n + 1];
            const std::size_t nAt =
                3 * static_cast<std::size_t>(192 * (kTileY[t] + n / 64) + kTileX[t] + n % 64);
            aExpected[nAt] = static_cast<std::uint8_t>((b1 & 0x0F) << 4);
            aExpected[nAt + 1] = static_cast<std::uint8_t>(b1 & 0xF0);
            aExpected[nAt + 2] = static_cast<std::uint8_t>((b0 & 0x0F) << 4);
        }

        CPictureCache::PutTile(kTileX[t], kTileY[t], tile, aPicture.data());

        ASSERT_EQ(aPicture, aExpected)
            << "values from " << nPass * kValuesPerTile << " at tile " << kLetters[t];
    }
}

TEST_F(PictureLoaderTest, ComposesSixTilesFromTheArchive) {
    MakeArchive("EAGLE", {0, 1, 2, 3, 4, 5});

    EXPECT_EQ(Picture("EAGLE"), 0);

    ASSERT_EQ(m_pictures.m_aPictures.size(), 1u);
    ExpectTiles(m_pictures.m_aPictures[0], {false, false, false, false, false, false});
    EXPECT_EQ(m_cache.m_nPictures, 1);
    EXPECT_EQ(m_cache.m_astrPicture[0], "EAGLE");
}

TEST_F(PictureLoaderTest, MatchesTileNamesWithoutCaseButTheEntryNameExactly) {
    const std::vector<std::string> aRecords = {TileRecord("eaglea", TileOf(0)),
                                               TileRecord("EaGlEb", TileOf(1))};
    WriteBytes(CarImageFolder() + "EAGLECI.TWT", Archive({{"PIXIES.P16", Pixies(aRecords)}}));
    WriteBytes(CarImageFolder() + "HAWKCI.TWT",
               Archive({{"pixies.p16", Pixies({TileRecord("HAWKA", TileOf(0))})}}));

    EXPECT_EQ(Picture("EAGLE"), 0);
    EXPECT_EQ(Picture("HAWK"), 1) << "the archive's existence chose the source";

    ASSERT_EQ(m_pictures.m_aPictures.size(), 2u);
    ExpectTiles(m_pictures.m_aPictures[0], {false, false, true, true, true, true});
    ExpectTiles(m_pictures.m_aPictures[1], {true, true, true, true, true, true});
}

TEST_F(PictureLoaderTest, PrefersTheArchiveOverLooseTiles) {
    MakeArchive("EAGLE", {0});
    for (int t = 0; t < 6; ++t)
        MakeLooseTile("EAGLE", t);

    Picture("EAGLE");

    ASSERT_EQ(m_pictures.m_aPictures.size(), 1u);
    ExpectTiles(m_pictures.m_aPictures[0], {false, true, true, true, true, true});
}

TEST_F(PictureLoaderTest, ComposesLooseTilesAndLeavesMissingOnesBlack) {
    for (int t : {0, 1, 3, 4}) // C and F missing
        MakeLooseTile("EAGLE", t);

    EXPECT_EQ(Picture("EAGLE"), 0);

    ASSERT_EQ(m_pictures.m_aPictures.size(), 1u);
    ExpectTiles(m_pictures.m_aPictures[0], {false, false, true, false, false, true});
}

TEST_F(PictureLoaderTest, NumbersWithoutReadingAndComposesEachPictureOnce) {
    MakeArchive("EAGLE", {0});
    int nOpens = 0;
    SetFileFaultHook([&](FileOp op, const std::string&) {
        nOpens += op == FileOp::Open ? 1 : 0;
        return false;
    });
    EXPECT_EQ(m_cache.NumberPicture("HAWK"), 0);
    EXPECT_EQ(m_cache.NumberPicture("EAGLE"), 1);
    EXPECT_EQ(m_cache.NumberPicture("HAWK"), 0);
    EXPECT_EQ(m_cache.NumberPicture("eagle"), 2) << "numbers match names exactly, files not";
    EXPECT_EQ(nOpens, 0);
    EXPECT_EQ(m_cache.ImageOf(-1), -1);
    EXPECT_EQ(m_cache.ImageOf(3), -1) << "a number never given";

    EXPECT_EQ(m_cache.ImageOf(1), 0);
    EXPECT_EQ(m_cache.ImageOf(0), -1);
    const int nOpensAfterFirst = nOpens;
    EXPECT_EQ(m_cache.ImageOf(1), 0);
    EXPECT_EQ(m_cache.ImageOf(0), -1);
    EXPECT_EQ(m_cache.ImageOf(2), 1);
    EXPECT_EQ(m_pictures.m_nPictures, 2);
    MakeLooseTile("HAWK", 0); // a missing picture is looked for once a session
    EXPECT_EQ(m_cache.ImageOf(0), -1);
    EXPECT_EQ(nOpens, nOpensAfterFirst + 1) << "only the eagle's archive, for \"eagle\"";
    SetFileFaultHook(nullptr);
    EXPECT_EQ(m_cache.m_nPictures, 2);
    EXPECT_EQ(m_cache.m_astrPicture, (std::vector<std::string>{"HAWK", "EAGLE", "eagle"}));
}

TEST_F(PictureLoaderTest, AnEmptyFileBaseIsAName) {
    MakeArchive("", {0});
    EXPECT_EQ(Picture(""), 0);
    EXPECT_EQ(Picture(""), 0);
    EXPECT_EQ(m_pictures.m_nPictures, 1);
}

// A distinct cache name for each n: file names match without regard to case, cache names exactly,
// so every spelling finds the one archive yet takes its own place in the cache.
std::string Spelling(int n) {
    std::string str = "abcdefghijklm";
    for (std::size_t i = 0; i < str.size(); ++i)
        if ((n >> i) & 1)
            str[i] = static_cast<char>(str[i] - 'a' + 'A');
    return str;
}

TEST_F(PictureLoaderTest, StopsAtTheCacheLimit) {
    m_pictures.m_bKeepPictures = false;
    WriteBytes(CarImageFolder() + Spelling(0) + "CI.TWT", Archive({}));

    for (int i = 0; i < CPictureCache::kMaxPictures; ++i)
        ASSERT_EQ(Picture(Spelling(i)), i);
    EXPECT_EQ(Picture(Spelling(CPictureCache::kMaxPictures)), -1);
    EXPECT_EQ(Picture(Spelling(3999)), 3999) << "cached names are still found";
    EXPECT_EQ(m_cache.m_nPictures, CPictureCache::kMaxPictures);
    EXPECT_EQ(m_pictures.m_nPictures, CPictureCache::kMaxPictures);
    EXPECT_EQ(m_cache.m_astrPicture[3999], Spelling(3999));
}

TEST_F(PictureLoaderTest, ReadTileFromEachSourceOrNone) {
    MakeArchive("EAGLE", {1});
    MakeLooseTile("HAWK", 2);
    using Source = CPictureCache::TileSource;

    const auto pArchived = CPictureCache::ReadTile("EAGLE", 'B', Source::Archive);
    ASSERT_NE(pArchived, nullptr);
    EXPECT_EQ(std::string(pArchived->begin(), pArchived->end()), TileOf(1));
    const auto pLoose = CPictureCache::ReadTile("HAWK", 'C', Source::LooseFiles);
    ASSERT_NE(pLoose, nullptr);
    EXPECT_EQ(std::string(pLoose->begin(), pLoose->end()), TileOf(2));

    EXPECT_EQ(CPictureCache::ReadTile("EAGLE", 'A', Source::Archive), nullptr);
    EXPECT_EQ(CPictureCache::ReadTile("EAGLE", 'B', Source::LooseFiles), nullptr);
    EXPECT_EQ(CPictureCache::ReadTile("HAWK", 'C', Source::Archive), nullptr);
}

TEST_F(PictureLoaderTest, ShortFilesGiveZerosOrNoTile) {
    // A loose tile cut short: the missing bytes are zeros.
    WriteBytes(CarImageFolder() + "HAWKCI/PIX16/HAWKA.PIX", TileFile(std::string(100, '\x0F')));
    const auto pShort = CPictureCache::ReadTile("HAWK", 'A', CPictureCache::TileSource::LooseFiles);
    ASSERT_NE(pShort, nullptr);
    EXPECT_EQ((*pShort)[99], 0x0F);
    EXPECT_EQ((*pShort)[100], 0);
    EXPECT_EQ((*pShort)[8191], 0);

    // An archive that ends inside a tile name: no tile, and no read beyond.
    std::string strArchive = Archive({{"PIXIES.P16", Pixies({TileRecord("EAGLEA", TileOf(0))})}});
    const std::size_t nNameStart = 8 + 56 + 16 + 21;
    strArchive.resize(nNameStart + 3);
    WriteBytes(CarImageFolder() + "EAGLECI.TWT", strArchive);
    EXPECT_EQ(CPictureCache::ReadTile("EAGLE", 'A', CPictureCache::TileSource::Archive), nullptr);
    EXPECT_EQ(Picture("EAGLE"), 0);
    ExpectTiles(m_pictures.m_aPictures.at(0), {true, true, true, true, true, true});
}

} // namespace
