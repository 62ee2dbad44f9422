// The pictures drawn under the lists, composed only when first seen, against the pictures the
// program drew when it composed every picture at the start: random sessions over cars whose
// picture files are whole, partly there, damaged or missing, with the pictures shown and hidden
// at random. Hidden, nothing reads a picture file, the load included.

#include "lists/InstallerCore.h"
#include "platform/FileFaults.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>

using namespace gamefiles;
using namespace support;

namespace {

using Picture = std::optional<std::vector<std::uint8_t>>; // none: nothing drawn yet
constexpr CarList kLists[] = {CarList::Available, CarList::Installed};

std::string Tile(int nBase, char nLetter) {
    return TilePixels(static_cast<std::uint8_t>(nBase * 16 + nLetter),
                      static_cast<std::uint8_t>(nBase));
}

// Each file base's picture files, by how whole they are.
void WritePictures() {
    const auto archive = [](const std::string& strBase, int nBase, const std::string& strLetters,
                            const std::string& strEntry = "PIXIES.P16") {
        std::vector<std::string> aRecords;
        for (const char c : strLetters)
            aRecords.push_back(TileRecord(strBase + c, Tile(nBase, c)));
        WriteBytes(CarImageFolder() + strBase + "CI.TWT", PictureArchive(aRecords, strEntry));
    };
    const auto loose = [](const std::string& strBase, int nBase, const std::string& strLetters) {
        for (const char c : strLetters)
            WriteBytes(CarImageFolder() + strBase + "CI/PIX16/" + strBase + c + ".PIX",
                       TileFile(Tile(nBase, c)));
    };
    archive("WHOLE", 1, "ABCDEF");
    archive("HALF", 2, "ACE");
    archive("NOPIX", 3, "ABCDEF", "OTHER.P16"); // opens, but holds no tiles: black
    std::string strCut = PictureArchive({TileRecord("CUTA", Tile(4, 'A'))});
    WriteBytes(CarImageFolder() + "CUTCI.TWT", strCut.substr(0, strCut.size() - 5000));
    loose("LOOSE", 5, "ABDF");
    loose("NOA", 6, "BCDEF"); // without its first tile no picture at all
    WriteBytes(CarImageFolder() + "EMPTYCI/PIX16/EMPTYA.PIX", ""); // black
}
constexpr const char* kBases[] = {"WHOLE", "HALF", "NOPIX", "CUT", "LOOSE", "NOA", "NONE", "EMPTY"};

class ShownPictureTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        WritePictures();
        // Two cars of each base, one a car file, one an opponent; the names say the base.
        std::vector<std::string> astrOpponents;
        for (const char* pszBase : kBases) {
            WriteBytes(std::string(pszBase) + ".c2c",
                       CarText(std::string(pszBase) + " file", pszBase));
            astrOpponents.push_back(CarText(std::string(pszBase) + " list", pszBase));
            m_mapBase[std::string(pszBase) + " file"] = m_mapBase[std::string(pszBase) + " list"] =
                pszBase;
        }
        WriteBytes("data/opponent.txt", OpponentList(astrOpponents));

        // What the start used to compose for each base, the same code asked at once.
        CTestPictures pictures;
        CPictureCache today(pictures);
        today.InitPictures();
        for (const char* pszBase : kBases) {
            const int nImage = today.ImageOf(today.NumberPicture(pszBase));
            m_mapToday[pszBase] = nImage < 0 ? Picture() : pictures.m_aPictures.at(nImage);
        }
        ASSERT_FALSE(m_mapToday["NOPIX"] == Picture() || m_mapToday["CUT"] == Picture() ||
                     m_mapToday["EMPTY"] == Picture());
        ASSERT_EQ(m_mapToday["NOA"], Picture());
        ASSERT_EQ(m_mapToday["NONE"], Picture());

        // Opens of the car files and the list by path, of picture files all as one.
        SetFileFaultHook([this](FileOp op, const std::string& strPath) {
            if (op != FileOp::Open)
                return false;
            if (strPath.find("carimage") != std::string::npos)
                ++m_mapOpens["carimage"];
            else if (strPath.ends_with(".c2c") || strPath == "data\\opponent.txt")
                ++m_mapOpens[strPath];
            return false;
        });
        CTestWindow window;
        CTestPictures pictures2;
        CInstallerCore(window, pictures2).Apply(command::Load{}); // takes the one-time backup
    }

    std::map<std::string, std::string> m_mapBase;
    std::map<std::string, Picture> m_mapToday;
    std::map<std::string, int> m_mapOpens;
};

TEST_F(ShownPictureTest, DrawsWhatTheStartComposedAndReadsNoPictureWhileHidden) {
    for (unsigned nSeed = 1; nSeed <= 300; ++nSeed) {
        std::mt19937 random(nSeed);
        for (const std::string& strName : FolderNames()) // the cars the last session exported
            if (strName.ends_with(".C2C"))
                std::filesystem::remove(strName);
        CTestWindow window;
        CTestPictures pictures;
        CInstallerCore core(window, pictures);
        m_mapOpens.clear();
        core.Apply(command::Load{});
        // Each car file and the list opened once, and no picture file.
        ASSERT_EQ(m_mapOpens.size(), std::size(kBases) + 1) << "seed " << nSeed;
        for (const auto& [strPath, nOpens] : m_mapOpens)
            ASSERT_TRUE(strPath != "carimage" && nOpens == 1) << strPath << " " << nOpens;

        bool bShown = random() % 2 == 0;
        std::map<CarList, Picture> mapDrawn, mapToday;
        std::set<int> setDrawn;
        for (int n = 0; n < 40; ++n) {
            const CarList list = kLists[random() % 2];
            const int nIndex = static_cast<int>(random() % 10) - 1;
            m_mapOpens.clear();
            if (const unsigned nKind = random() % 8; nKind == 4)
                bShown = !bShown;
            else
                core.Apply(nKind == 0   ? ListCommand(command::Install{})
                           : nKind == 1 ? ListCommand(command::Uninstall{})
                           : nKind == 2 ? ListCommand(command::Undo{})
                           : nKind == 3 ? ListCommand(command::Redo{})
                                        : ListCommand(command::Select{list, nIndex}));
            for (const CarList side : kLists) {
                // The car a list selects is the one it showed last; the start had composed its
                // picture or found none, and none left the one before in view.
                if (const int nSel = core.GetSelection(side).nCaret; nSel >= 0)
                    if (const Picture& today =
                            m_mapToday[m_mapBase[core.GetCar(side, nSel).m_strCarName]])
                        mapToday[side] = today;
                // As the window draws: only while shown, and -1 leaves the picture as it was.
                if (!bShown)
                    continue;
                if (const int nImage = core.ComposeShownImage(side); nImage != -1) {
                    mapDrawn[side] = pictures.m_aPictures.at(static_cast<std::size_t>(nImage));
                    setDrawn.insert(nImage);
                }
                ASSERT_EQ(mapDrawn[side], mapToday[side]) << "seed " << nSeed << ", step " << n;
            }
            ASSERT_TRUE(bShown || m_mapOpens.empty()) << "hidden, nothing is read";
            ASSERT_EQ(pictures.m_nPictures, static_cast<int>(setDrawn.size()))
                << "only pictures drawn are composed";
        }
        ASSERT_TRUE(window.m_astrErrors.empty()) << window.m_astrErrors.front();
    }
}

} // namespace
