// Composes a car picture from an arbitrary picture archive and an arbitrary loose tile file.

#include "fuzz/Scratch.h"
#include "pictures/PictureCache.h"
#include "support/TestPictures.h"

namespace {

constexpr const char* kFolder = "data/intrface/carimage";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    fuzz::FreshGameFolder();
    const auto [archive, tile] = fuzz::SplitInput(pData, nSize);
    // An empty first part means no archive at all, so the loose tile files are the source.
    fuzz::fs::create_directories(std::string(kFolder) + "/EAGLECI/PIX16");
    if (!archive.empty())
        fuzz::WriteBytes(std::string(kFolder) + "/EAGLECI.TWT", archive);
    for (const char* pszLetter : {"A", "C", "F"})
        fuzz::WriteBytes(std::string(kFolder) + "/EAGLECI/PIX16/EAGLE" + pszLetter + ".PIX", tile);

    for (char nLetter = 'A'; nLetter <= 'F'; ++nLetter) {
        CPictureCache::ReadTile("EAGLE", nLetter, CPictureCache::TileSource::Archive);
        CPictureCache::ReadTile("EAGLE", nLetter, CPictureCache::TileSource::LooseFiles);
    }

    CTestPictures pictures;
    CPictureCache cache(pictures);
    cache.InitPictures();
    const int nImage = cache.ImageOf(cache.NumberPicture("EAGLE"));
    fuzz::Require(nImage == 0 && pictures.m_nPictures == 1, "a car with a source gets one picture");
    fuzz::Require(cache.ImageOf(cache.NumberPicture("EAGLE")) == nImage &&
                      pictures.m_nPictures == 1,
                  "a picture is composed once");
    fuzz::Require(cache.ImageOf(cache.NumberPicture("NOSUCH")) == -1, "no source, no picture");
    fuzz::CheckNothingEscaped();
    return 0;
}
