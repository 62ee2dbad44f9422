#include "gamedata/KeptLists.h"
#include "lists/KeptLists.h"
#include "opponents/OpponentListReader.h"
#include "support/Files.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace gamefiles;
using namespace support;

namespace {

using gamefiles::OpponentList; // the test list's text, not the list read

using Names = std::vector<std::string>;

TEST(CompareCarListsTest, CountsCarsMoreLessAndTheFewestThatMove) {
    struct Case {
        Names aInstalled;
        Names aOther;
        ListDifference expected;
    };
    const Case aCases[] = {
        {{"A", "B", "C"}, {"A", "B", "C"}, {0, 0, 0}},
        {{}, {}, {0, 0, 0}},
        {{}, {"A", "A"}, {2, 0, 0}},
        {{"A", "B"}, {}, {0, 2, 0}},
        // One car from the top to the bottom moves one car, not all of them.
        {{"A", "B", "C", "D"}, {"B", "C", "D", "A"}, {0, 0, 1}},
        {{"A", "B", "C", "D"}, {"D", "C", "B", "A"}, {0, 0, 3}},
        // Cars added or taken out around the others move nothing.
        {{"A", "B", "C"}, {"X", "A", "C", "Y"}, {2, 1, 0}},
        // The k-th of a name pairs with the k-th: one of the two twins is less.
        {{"A", "T", "B", "T"}, {"T", "A", "B"}, {0, 1, 1}},
        {{"A", "B", "C", "D", "E", "F", "Q"},
         {"F", "E", "D", "C", "B", "A", "X", "Y", "Z"},
         {3, 1, 5}},
    };
    for (const Case& c : aCases) {
        const ListDifference d = CompareCarLists(c.aInstalled, c.aOther);
        EXPECT_EQ(d, c.expected) << "more " << d.nMore << " less " << d.nLess << " moved "
                                 << d.nMoved << " for " << c.aOther.size() << " cars";
    }
}

TEST(CompareCarListsTest, DescribesOnlyWhatDiffers) {
    EXPECT_EQ(DescribeDifference({3, 1, 5}), "3 cars more, 1 less, 5 in another place");
    EXPECT_EQ(DescribeDifference({0, 1, 0}), "1 car less");
    EXPECT_EQ(DescribeDifference({0, 0, 2}), "2 cars in another place");
    EXPECT_EQ(DescribeDifference({1, 0, 1}), "1 car more, 1 in another place");
    EXPECT_EQ(DescribeDifference({}), "The same cars in the same order as the installed list");
}

class KeptListsTest : public CTempFolderTest {
protected:
    static std::vector<std::string> Labels(const std::vector<RestorableList>& aLists) {
        std::vector<std::string> aLabels;
        for (const RestorableList& list : aLists)
            aLabels.push_back(list.strLabel + (list.bWhole ? "" : " !"));
        return aLabels;
    }
    static const PictureSource& NoPictures() {
        static const PictureSource source = [](const std::string&) { return -1; };
        return source;
    }
};

TEST_F(KeptListsTest, NewestFirstThenTheListBeforeAnyChange) {
    EXPECT_TRUE(ReadKeptLists(NoPictures()).empty()) << "nothing kept: nothing to restore";

    const std::string strTwo = OpponentList({RecordText("Kite"), RecordText("Lark")});
    WriteBytes("data/backups/opponent-20261208-071502.txt", strTwo);
    WriteBytes("data/backups/opponent-20261208-071502-2.txt", OpponentList({RecordText("Owl")}));
    WriteBytes("data/backups/opponent-20261207-235959.txt", OpponentList({}));
    // Says it holds three opponents but ends after two.
    std::string strCut = strTwo;
    strCut.replace(0, 1, "3");
    strCut.erase(strCut.find("END"));
    WriteBytes("data/backups/opponent-20261209-000001.txt", strCut);
    WriteBytes("data/backups/notes.txt", "not a kept list");
    WriteBytes("data/OPPONENT.OLD", strTwo);

    const std::vector<RestorableList> aLists = ReadKeptLists(NoPictures());
    EXPECT_EQ(Labels(aLists),
              (Names{"2026-12-09 00:00:01 - 2 opponents (damaged) !",
                     "2026-12-08 07:15:02 (2) - 1 opponent", "2026-12-08 07:15:02 - 2 opponents",
                     "2026-12-07 23:59:59 - 0 opponents", "Before Gridwright - 2 opponents"}));
    ASSERT_EQ(aLists[2].apRecords.size(), 2u);
    EXPECT_EQ(aLists[2].apRecords[1]->m_strCarName, "Lark");
    EXPECT_EQ(aLists[2].apRecords[1]->m_strText, RecordText("Lark"));
}

TEST_F(KeptListsTest, OnlyTheCopiesKeptAreReadAndNoneLargerThanAList) {
    for (int i = 0; i < 30; ++i)
        WriteBytes("data/backups/" + KeptListName({2026, 1, 1, 0, 0, i}, 1), OpponentList({}));
    const std::string strHuge = "data/backups/" + KeptListName({2026, 1, 1, 0, 1, 0}, 1);
    WriteBytes(strHuge, OpponentList({RecordText("Kite")}));
    std::filesystem::resize_file(strHuge, kMaxOpponentListBytes + 1);
    WriteBytes("data/OPPONENT.OLD", OpponentList({}));

    const Names aLabels = Labels(ReadKeptLists(NoPictures()));
    ASSERT_EQ(aLabels.size(), kKeptListsKept + 1);
    EXPECT_EQ(aLabels.front(),
              "2026-01-01 00:01:00 - too large to be an opponent list (damaged) !");
    EXPECT_EQ(aLabels[kKeptListsKept - 1], "2026-01-01 00:00:11 - 0 opponents");
    EXPECT_EQ(aLabels.back(), "Before Gridwright - 0 opponents");
}

TEST_F(KeptListsTest, AnUnreadableCopyIsShownDamaged) {
    std::filesystem::create_directories("data/backups/opponent-20261208-071502.txt");
    WriteBytes("data/OPPONENT.OLD", "");
    EXPECT_EQ(Labels(ReadKeptLists(NoPictures())),
              (Names{"Before Gridwright - 0 opponents (damaged) !"}));
}

} // namespace
