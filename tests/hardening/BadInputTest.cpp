// Inputs a real game folder can hold, downloaded or broken: each gives the sound answer, and at
// once (a pathological loop would show as a hang here and as a timeout when fuzzing).

#include "gamedata/ArchiveReader.h"
#include "gamedata/GameData.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentReader.h"
#include "opponents/OpponentWriter.h"
#include "pictures/PictureCache.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

namespace {

using namespace gamefiles;
using support::ReadBytes;
using support::WriteBytes;
using Names_t = std::vector<std::string>;

constexpr const char* kPictures = "data/intrface/carimage/";

class BadInputTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directory("data");
        m_cache.InitPictures();
    }
    void Load() { m_core.Apply(command::Load{}); }
    Names_t Installed() const { return Names(m_core, CarList::Installed); }
    Names_t Available() const { return Names(m_core, CarList::Available); }

    CTestWindow m_window;
    CTestPictures m_pictures;
    CInstallerCore m_core{m_window, m_pictures};
    // Pictures composed by themselves, outside a load.
    CTestPictures m_cachePictures;
    CPictureCache m_cache{m_cachePictures};
};

TEST_F(BadInputTest, LineOfMegabytesWithoutLineEnd) {
    const std::string strHuge(4 * 1024 * 1024, 'x');
    WriteBytes("huge.c2c", strHuge + "//" + strHuge);
    {
        // Read whole, it is cut to the longest line a record keeps.
        const std::string strBytes = ReadWholeFile("huge.c2c");
        CTextReader reader(strBytes);
        std::string strLine;
        bool bCut = false;
        EXPECT_TRUE(reader.ReadLine(strLine, &bCut));
        EXPECT_EQ(strLine.size(), kMaxLineBytes);
        EXPECT_TRUE(bCut);
        EXPECT_FALSE(reader.ReadLine(strLine));
        EXPECT_EQ(ExtractValue(strHuge + "//").size(), strHuge.size() - 1);
    }
    // As a car file it is too large; as the opponent list's count line it is passed over.
    WriteBytes("data/opponent.txt",
               strHuge + "\r\n\r\n// Opponent 0\r\n" + RecordText("Hornet") + "\r\nEND\r\n");
    Load();
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_EQ(Available(), Names_t{});
    EXPECT_EQ(Installed(), Names_t{"Hornet"});
    EXPECT_TRUE(m_core.IsLoaded());
}

TEST_F(BadInputTest, NulAndHighBytesInValuesAndNames) {
    const std::string strNul("Ho\0rnet", 7);
    const std::string strHigh = "Caf\xE9 \xFF\x80";
    const std::string strDescription("\xA9 \0 x", 5);
    const std::string strList =
        OpponentList({RecordText(strNul, "HOR\xC4"), RecordText(strHigh, "CAFE", strDescription)});
    WriteBytes("data/opponent.txt", strList);
    Load();
    ASSERT_EQ(Installed(), (Names_t{strNul, strHigh}));
    EXPECT_EQ(m_core.GetCar(CarList::Installed, 0).m_strFileBase, "HOR\xC4");
    EXPECT_NE(m_core.GetCar(CarList::Installed, 1).m_strInfo.find(strDescription),
              std::string::npos);

    // A NUL byte would cut the name short at the system: the file is "Ho_rnet.C2C", never
    // "Ho.C2C", and holds the car with its own name.
    m_core.Apply(command::Select{CarList::Installed, 0});
    m_core.Apply(command::Uninstall{});
    EXPECT_EQ(ReadBytes("Ho_rnet.C2C"), RecordText(strNul, "HOR\xC4"));

    // Bytes above 0x7F make a file name like any other and come back as the same car.
    m_core.Apply(command::Select{CarList::Installed, 0});
    m_core.Apply(command::Uninstall{});
    ASSERT_TRUE(m_window.m_astrErrors.empty()) << m_window.m_astrErrors.back();
    CTestWindow window;
    CInstallerCore core(window, m_pictures);
    core.Apply(command::Load{});
    ASSERT_EQ(core.GetCount(CarList::Available), 2);
    for (int i = 0; i < 2; ++i) {
        const CarRecord& car = core.GetCar(CarList::Available, i);
        EXPECT_EQ(car.m_strText, car.m_strCarName == strNul
                                     ? RecordText(strNul, "HOR\xC4")
                                     : RecordText(strHigh, "CAFE", strDescription));
    }

    // Ok writes both kinds of byte back unchanged.
    EXPECT_TRUE(core.SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strList);
}

TEST_F(BadInputTest, FilesOfOnlyComments) {
    const std::string strComments = "// a list\r\n//of nothing\r\n   // at all\r\n\r\n";
    WriteBytes("notes.c2c", strComments);
    WriteBytes("data/opponent.txt", strComments);
    Load();
    // Comments are passed over on the way to a count that never comes: no list to write back.
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_NE(m_window.m_astrErrors[0].find("not even their count"), std::string::npos);
    EXPECT_FALSE(m_core.IsLoaded());
    EXPECT_EQ(Available(), Names_t{});
    EXPECT_EQ(Installed(), Names_t{});
    const std::string strNotes = ReadBytes("notes.c2c");
    CTextReader reader(strNotes);
    EXPECT_EQ(ParseRecord(reader), nullptr);
}

TEST_F(BadInputTest, CarFileThatIsAFolder) {
    WriteBytes("folder.c2c/inner.c2c", RecordText("Inner"));
    WriteBytes("real.c2c", RecordText("Real"));
    WriteBytes("data/opponent.txt", OpponentList({RecordText("Hornet")}));
    Load();
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_EQ(Available(), Names_t{"Real"});
    EXPECT_EQ(Installed(), Names_t{"Hornet"});
    EXPECT_TRUE(m_core.IsLoaded());
    EXPECT_EQ(m_core.PassedOverText(), "folder.c2c: is a folder, not a file");
}

TEST_F(BadInputTest, OpponentListOfExactlyTheLimit) {
    std::vector<std::string> astrTexts;
    for (int i = 0; i < CInstallerCore::kMaxCars; ++i)
        astrTexts.push_back(RecordText("Car " + std::to_string(i), "CAR" + std::to_string(i % 7)));
    const std::string strList = OpponentList(astrTexts);
    WriteBytes("data/opponent.txt", strList);
    Load();
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_EQ(m_core.GetCount(CarList::Installed), CInstallerCore::kMaxCars);
    EXPECT_TRUE(m_core.IsLoaded());
    // A full list refuses one more car, and Ok writes the list back byte for byte.
    WriteBytes("extra.c2c", RecordText("Extra"));
    Load();
    m_core.Apply(command::Select{CarList::Available, 0});
    const ModelChange change = m_core.Apply(command::Install{});
    EXPECT_FALSE(change.installed.Any());
    EXPECT_EQ(m_core.GetCount(CarList::Installed), CInstallerCore::kMaxCars);
    EXPECT_EQ(m_window.m_astrErrors.size(), 1u) << "the full list is told";
    EXPECT_TRUE(m_core.SaveAndClose());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strList);
}

TEST_F(BadInputTest, ArchiveCountingMoreEntriesThanItHolds) {
    const std::string strArchive =
        Archive({{"opponent.txt", "replaced", {}}, {"B.TXT", "bbbbbbbb", {}}}, 255);
    WriteBytes("data.twt", strArchive);
    WriteBytes("data/opponent.txt", "the game's list");
    EXPECT_NE(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data.twt"), strArchive);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), "the game's list");
    EXPECT_EQ(support::FolderNames("data"), Names_t{"opponent.txt"});
    EXPECT_FALSE(std::filesystem::exists("data.twat"));

    // The same container as a picture archive: the picture is there, black.
    WriteBytes(std::string(kPictures) + "EAGLECI.TWT", strArchive);
    EXPECT_EQ(CPictureCache::ReadTile("EAGLE", 'A', CPictureCache::TileSource::Archive), nullptr);
    EXPECT_EQ(m_cache.ImageOf(m_cache.NumberPicture("EAGLE")), 0);
    EXPECT_EQ(m_cachePictures.m_aPictures.at(0),
              std::vector<std::uint8_t>(CPictureSink::kPictureBytes));
}

TEST_F(BadInputTest, NamesAtTheEdgeOfTheirSlot) {
    // 51 characters and the NUL fill the 52 bytes exactly.
    const std::string strFull(51, 'F');
    std::string strArchive = Archive({{strFull, "full", {}}, {"next.txt", "next", {}}});
    {
        WriteBytes("probe.twt", strArchive);
        CFile file("probe.twt", CFile::modeRead);
        const ArchiveDirectory directory = ReadArchiveDirectory(file);
        ASSERT_EQ(directory.m_aEntries.size(), 2u);
        EXPECT_EQ(directory.m_aEntries[0].m_strName, strFull);
        EXPECT_EQ(directory.m_aEntries[1].m_strName, "next.txt");
    }
    WriteBytes("data.twt", strArchive);
    EXPECT_EQ(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data/" + strFull), "full");
    EXPECT_EQ(ReadBytes("data/next.txt"), "next");

    // 52 characters in the last slot run on into the data, which ends them at its first NUL.
    strArchive = Archive({{std::string(52, 'R'), std::string("abc\0", 4), {}}});
    WriteBytes("probe.twt", strArchive);
    CFile file("probe.twt", CFile::modeRead);
    const ArchiveDirectory directory = ReadArchiveDirectory(file);
    ASSERT_EQ(directory.m_aEntries.size(), 1u);
    EXPECT_FALSE(directory.m_bDamaged);
    EXPECT_EQ(directory.m_aEntries[0].m_strName, std::string(52, 'R') + "abc");
    EXPECT_EQ(directory.m_aEntries[0].m_nOffset, 64u);
}

TEST_F(BadInputTest, ArchiveNamesRunningOnForMegabytes) {
    // Every one of 255 names would run on to the one NUL at the very end: read in full, that is
    // a gigabyte of names. No name that long can be a file, so the archive counts as damaged.
    std::string strArchive = Archive({}, 255);
    strArchive += std::string(4 * 1024 * 1024, 'x') + '\0';
    WriteBytes("data.twt", strArchive);
    EXPECT_NE(UnpackArchive(), "");
    EXPECT_EQ(ReadBytes("data.twt"), strArchive);
    EXPECT_EQ(support::FolderNames("data"), Names_t{});
    {
        CFile file("data.twt", CFile::modeRead);
        EXPECT_TRUE(ReadArchiveDirectory(file).m_bDamaged);
    }
    WriteBytes(std::string(kPictures) + "EAGLECI.TWT", strArchive);
    EXPECT_EQ(m_cache.ImageOf(m_cache.NumberPicture("EAGLE")), 0);
}

TEST_F(BadInputTest, TileRecordWhoseNameNeverEnds) {
    // A megabyte of name bytes, no NUL: no tile, no reading on forever.
    WriteBytes(std::string(kPictures) + "EAGLECI.TWT",
               PictureArchive({TileRecord("other", TilePixels(1, 2)),
                               std::string(21, '\x01') + std::string(1 << 20, 'e')}));
    for (const char nLetter : {'A', 'F'})
        EXPECT_EQ(CPictureCache::ReadTile("EAGLE", nLetter, CPictureCache::TileSource::Archive),
                  nullptr);
    EXPECT_EQ(m_cache.ImageOf(m_cache.NumberPicture("EAGLE")), 0);
}

TEST_F(BadInputTest, PictureFilesOfZeroBytes) {
    WriteBytes(std::string(kPictures) + "EAGLECI.TWT", "");
    WriteBytes(std::string(kPictures) + "HAWKCI/PIX16/HAWKA.PIX", "");
    EXPECT_EQ(CPictureCache::ReadTile("EAGLE", 'A', CPictureCache::TileSource::Archive), nullptr);
    const auto pLoose = CPictureCache::ReadTile("HAWK", 'A', CPictureCache::TileSource::LooseFiles);
    if (pLoose) {
        EXPECT_EQ(*pLoose, CPictureCache::Tile{});
    }
    EXPECT_EQ(m_cache.ImageOf(m_cache.NumberPicture("EAGLE")), 0);
    EXPECT_EQ(m_cache.ImageOf(m_cache.NumberPicture("HAWK")), 1);
    for (const auto& aPicture : m_cachePictures.m_aPictures)
        EXPECT_EQ(aPicture, std::vector<std::uint8_t>(CPictureSink::kPictureBytes));

    // A zero-byte game archive is damaged, and stays.
    WriteBytes("data.twt", "");
    EXPECT_NE(UnpackArchive(), "");
    EXPECT_TRUE(std::filesystem::exists("data.twt"));
    EXPECT_FALSE(std::filesystem::exists("data.twat"));
}

} // namespace
