#include "gamedata/GameData.h"

#include "platform/FileException.h"
#include "platform/FileFaults.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace support;

class BackupTest : public CTempFolderTest {
protected:
    void SetUp() override {
        CTempFolderTest::SetUp();
        std::filesystem::create_directory("data");
    }
};

TEST_F(BackupTest, MadeOnceAndNeverOverwritten) {
    const char kList[] = "3\r\n\r\n// Opponent 0\r\n\0binary\xFF\r\nEND\r\n";
    const std::string strList(kList, sizeof kList - 1);
    WriteBytes("data/opponent.txt", strList);
    BackupOpponentList();
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strList);
    EXPECT_EQ(ListFolder("data"), (std::vector<std::string>{"OPPONENT.OLD", "opponent.txt"}));

    WriteBytes("data/opponent.txt", "changed");
    BackupOpponentList();
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), strList);
}

TEST_F(BackupTest, ExistingBackupInAnyCaseCounts) {
    WriteBytes("data/opponent.txt", "list");
    WriteBytes("data/opponent.old", "old");
    BackupOpponentList();
    EXPECT_EQ(ReadBytes("data/opponent.old"), "old");
    EXPECT_EQ(ListFolder("data"), (std::vector<std::string>{"opponent.old", "opponent.txt"}));
}

TEST_F(BackupTest, MissingListRaises) {
    EXPECT_THROW(BackupOpponentList(), CFileException);
    EXPECT_TRUE(ListFolder("data").empty());
}

TEST_F(BackupTest, FailedWriteLeavesNoBackup) {
    WriteBytes("data/opponent.txt", "list");
    for (const FileOp op : {FileOp::Create, FileOp::Write, FileOp::Flush, FileOp::Rename}) {
        SCOPED_TRACE(static_cast<int>(op));
        SetFileFaultHook([op](FileOp opNow, const std::string&) { return opNow == op; });
        EXPECT_THROW(BackupOpponentList(), CFileException);
        SetFileFaultHook({});
        EXPECT_EQ(ListFolder("data"), std::vector<std::string>{"opponent.txt"});
    }
    // So the next start tries again.
    BackupOpponentList();
    EXPECT_EQ(ReadBytes("data/OPPONENT.OLD"), "list");
}

} // namespace
