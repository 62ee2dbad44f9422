// Ok never replaces the opponent list unseen: not a list another program changed meanwhile, not a
// read-only one, and never without keeping the bytes it replaces.

#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "platform/File.h"
#include "support/GameFiles.h"
#include "support/MemoryWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace gamefiles;
using namespace support;

namespace {

class SaveTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        WriteBytes("data/OPPONENT.OLD", "the list before the first run");
        WriteBytes("data/opponent.txt", m_strOld);
        WriteBytes("hawk.c2c", CarText("Hawk"));
        m_core.InitPictures();
        m_core.Run([&] { m_core.OnShowWindow(true); });
        ASSERT_TRUE(m_core.m_bLoaded);
    }

    // Installs the available car, so that Ok has something to write.
    void Edit() {
        m_window.SetCurSel(IDC_AVAILABLE, 0);
        m_core.Run([&] { m_core.OnInstall(); });
    }
    void Ok() {
        m_core.Run([&] { m_core.SaveAndClose(); });
    }
    bool Closed() const { return !m_window.m_aEndResults.empty(); }
    static std::vector<std::string> KeptBytes() {
        std::vector<std::string> astr;
        for (const KeptList& kept : ListKeptLists())
            astr.push_back(ReadBytes(std::filesystem::path("data/backups") /
                                     kept.m_strPath.substr(kept.m_strPath.rfind('\\') + 1)));
        return astr;
    }

    const std::string m_strOld = OpponentList({CarText("One"), CarText("Two")});
    const std::string m_strNew = OpponentList({CarText("One"), CarText("Two"), CarText("Hawk")});
    CMemoryWindow m_window;
    CInstallerCore m_core{m_window};
};

// A list changed by another program after the load.

TEST_F(SaveTest, ChangedListIsReplacedOnlyWhenTheUserSaysYes) {
    const std::string strOthers = OpponentList({CarText("Theirs")});
    WriteBytes("data/opponent.txt", strOthers);
    Edit();

    Ok(); // No
    ASSERT_EQ(m_window.m_aQuestions.size(), 1u);
    EXPECT_EQ(m_window.m_aQuestions[0],
              "data\\opponent.txt was changed by another program after Gridwright read it. "
              "Replace it with your list? The other version is kept in data\\backups.");
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strOthers);
    EXPECT_FALSE(std::filesystem::exists("data/backups"));
    EXPECT_FALSE(Closed());

    m_window.m_bAnswerYes = true;
    Ok();
    EXPECT_EQ(m_window.m_aQuestions.size(), 2u);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_EQ(KeptBytes(), std::vector<std::string>{strOthers});
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(m_window.m_aErrors.empty());
}

TEST_F(SaveTest, ListDeletedMeanwhileIsAskedAboutToo) {
    std::filesystem::remove("data/opponent.txt");
    Edit();
    m_window.m_bAnswerYes = true;
    Ok();
    EXPECT_EQ(m_window.m_aQuestions.size(), 1u);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_TRUE(KeptBytes().empty()) << "nothing was replaced";
}

// A read-only list.

TEST_F(SaveTest, ReadOnlyListIsRefusedAndKeepsItsMark) {
    SetReadOnly("data/opponent.txt", true);
    Edit();
    Ok();
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_TRUE(m_window.m_aErrors[0].starts_with("data\\opponent.txt is read-only"))
        << m_window.m_aErrors[0];
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strOld);
    EXPECT_TRUE(CFile::IsReadOnly("data\\opponent.txt"));
    EXPECT_FALSE(std::filesystem::exists("data/backups"));
    EXPECT_FALSE(Closed());

    SetReadOnly("data/opponent.txt", false);
    Ok();
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_TRUE(Closed());
}

// Keeping the replaced list.

TEST_F(SaveTest, OkKeepsTheReplacedBytesAndTheNewestTwenty) {
    for (int i = 0; i < 22; ++i)
        WriteBytes("data/backups/" + KeptListName({2020, 1, 1, 0, 0, i}, 1), "older");
    WriteBytes("data/backups/readme.txt", "not a copy");
    Edit();
    Ok();
    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    const std::vector<KeptList> aKept = ListKeptLists();
    ASSERT_EQ(aKept.size(), kKeptListsKept);
    EXPECT_EQ(KeptBytes().front(), m_strOld);
    EXPECT_GT(aKept[0].m_time, (KeptListTime{2020, 1, 1, 0, 0, 59}));
    EXPECT_EQ(aKept.back().m_strPath, "data\\backups\\" + KeptListName({2020, 1, 1, 0, 0, 3}, 1));
    EXPECT_EQ(ReadBytes("data/backups/readme.txt"), "not a copy");
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), "the list before the first run");
}

TEST_F(SaveTest, UnchangedListWritesAndKeepsNothing) {
    // Read-only too: had anything been written, Ok would have refused.
    SetReadOnly("data/opponent.txt", true);
    Ok();
    EXPECT_TRUE(m_window.m_aErrors.empty());
    EXPECT_TRUE(Closed());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strOld);
    EXPECT_FALSE(std::filesystem::exists("data/backups"));
    SetReadOnly("data/opponent.txt", false);
}

TEST_F(SaveTest, CopyThatCannotBeKeptStopsTheSave) {
    WriteBytes("data/backups", "a file where the folder should be");
    Edit();
    Ok();
    ASSERT_EQ(m_window.m_aErrors.size(), 1u);
    EXPECT_NE(m_window.m_aErrors[0].find("could not be kept in data\\backups"), std::string::npos)
        << m_window.m_aErrors[0];
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strOld);
    EXPECT_FALSE(Closed());
}

} // namespace
