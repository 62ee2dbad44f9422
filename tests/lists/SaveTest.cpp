// Ok never replaces the opponent list unseen: not a list another program changed meanwhile, not a
// read-only one, and never without keeping the bytes it replaces.

#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "platform/File.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"
#include "support/TestWindow.h"

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
        m_core.Apply(command::Load{});
        ASSERT_TRUE(m_core.IsLoaded());
    }

    // Installs the available car, so that Ok has something to write.
    void Edit() {
        m_core.Apply(command::Select{CarList::Available, 0});
        m_core.Apply(command::Install{});
    }
    void Ok() { m_bClosed = m_core.SaveAndClose(); }
    bool Closed() const { return m_bClosed; }
    static std::vector<std::string> KeptBytes() {
        std::vector<std::string> astr;
        for (const KeptList& kept : ListKeptLists())
            astr.push_back(ReadBytes(std::filesystem::path("data/backups") /
                                     kept.m_strPath.substr(kept.m_strPath.rfind('\\') + 1)));
        return astr;
    }

    const std::string m_strOld = OpponentList({CarText("One"), CarText("Two")});
    const std::string m_strNew = OpponentList({CarText("One"), CarText("Two"), CarText("Hawk")});
    CTestWindow m_window;
    CTestPictures m_pictures;
    CInstallerCore m_core{m_window, m_pictures};
    bool m_bClosed = false; // what the last Ok answered
};

// A list changed by another program after the load.

TEST_F(SaveTest, ChangedListIsReplacedOnlyWhenTheUserSaysYes) {
    const std::string strOthers = OpponentList({CarText("Theirs")});
    WriteBytes("data/opponent.txt", strOthers);
    Edit();

    Ok(); // No
    ASSERT_EQ(m_window.m_astrQuestions.size(), 1u);
    EXPECT_EQ(m_window.m_astrQuestions[0],
              "data\\opponent.txt was changed by another program after Gridwright read it. "
              "Replace it with your list? The other version is kept in data\\backups.");
    EXPECT_EQ(ReadBytes("data/opponent.txt"), strOthers);
    EXPECT_FALSE(std::filesystem::exists("data/backups"));
    EXPECT_FALSE(Closed());

    m_window.m_bAnswerYes = true;
    Ok();
    EXPECT_EQ(m_window.m_astrQuestions.size(), 2u);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_EQ(KeptBytes(), std::vector<std::string>{strOthers});
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(m_window.m_astrErrors.empty());
}

// Another save while the question is open: the version replaced is the version kept, after a
// second question.
TEST_F(SaveTest, ListSavedAgainWhileAskingIsAskedAboutAgain) {
    const std::vector<std::string> astrTheirs = {OpponentList({CarText("Theirs")}),
                                                 OpponentList({CarText("Theirs, later")})};
    WriteBytes("data/opponent.txt", astrTheirs[0]);
    Edit();
    m_window.m_bAnswerYes = true;
    m_window.m_onAsk = [&] {
        if (m_window.m_astrQuestions.size() == 1)
            WriteBytes("data/opponent.txt", astrTheirs[1]);
    };
    Ok();
    EXPECT_EQ(m_window.m_astrQuestions.size(), 2u);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_EQ(KeptBytes(), std::vector<std::string>{astrTheirs[1]});
    EXPECT_TRUE(Closed());
}

TEST_F(SaveTest, ListDeletedMeanwhileIsAskedAboutToo) {
    std::filesystem::remove("data/opponent.txt");
    Edit();
    m_window.m_bAnswerYes = true;
    Ok();
    EXPECT_EQ(m_window.m_astrQuestions.size(), 1u);
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strNew);
    EXPECT_TRUE(KeptBytes().empty()) << "nothing was replaced";
}

// A read-only list.

TEST_F(SaveTest, ReadOnlyListIsRefusedAndKeepsItsMark) {
    SetReadOnly("data/opponent.txt", true);
    Edit();
    Ok();
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_TRUE(m_window.m_astrErrors[0].starts_with("data\\opponent.txt is read-only"))
        << m_window.m_astrErrors[0];
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
    EXPECT_TRUE(m_window.m_astrErrors.empty());
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
    EXPECT_TRUE(m_window.m_astrErrors.empty());
    EXPECT_TRUE(Closed());
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strOld);
    EXPECT_FALSE(std::filesystem::exists("data/backups"));
    SetReadOnly("data/opponent.txt", false);
}

TEST_F(SaveTest, CopyThatCannotBeKeptStopsTheSave) {
    WriteBytes("data/backups", "a file where the folder should be");
    Edit();
    Ok();
    ASSERT_EQ(m_window.m_astrErrors.size(), 1u);
    EXPECT_NE(m_window.m_astrErrors[0].find("could not be kept in data\\backups"),
              std::string::npos)
        << m_window.m_astrErrors[0];
    EXPECT_EQ(ReadBytes("data/opponent.txt"), m_strOld);
    EXPECT_FALSE(Closed());
}

} // namespace
