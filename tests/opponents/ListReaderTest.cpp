// Reading a whole opponent list: every list written in the program's layout or the game's reads
// whole; anything that cannot be shown to be all of the list says so.

#include "opponents/OpponentListReader.h"

#include "support/GameFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using gamefiles::CarText;
using gamefiles::RecordText;
using Names = std::vector<std::string>;

class ListReaderTest : public testing::Test {
protected:
    static OpponentList Read(const std::string& strBytes) {
        OpponentList list = ParseOpponentList(strBytes);
        for (const auto& pRecord : list.apRecords)
            EXPECT_EQ(pRecord->m_nImage, -1) << "the caller attaches the picture";
        return list;
    }
    static Names NamesOf(const OpponentList& list) {
        Names aNames;
        for (const auto& pRecord : list.apRecords)
            aNames.push_back(pRecord->m_strCarName);
        return aNames;
    }
};

struct ListCase {
    const char* pszWhat;
    std::string strBytes;
    Names aNames;
    bool bWhole;
};

TEST_F(ListReaderTest, WholeListsAndListsThatAreNot) {
    const std::string strA = CarText("A");
    const std::string strB = CarText("B");
    const std::string strC = CarText("C");
    const std::string strEnd = "\r\n\r\nEND\r\n";
    const std::vector<ListCase> aCases = {
        {"as written", gamefiles::OpponentList({strA, strB}), {"A", "B"}, true},
        {"none", gamefiles::OpponentList({}), {}, true},
        {"comments before the count",
         "// the game's opponents\r\n  // two\r\n" + gamefiles::OpponentList({strA, strB}),
         {"A", "B"},
         true},
        {"count with a comment",
         "2 // opponents\r\n\r\n" + strA + "\r\n" + strB + strEnd,
         {"A", "B"},
         true},
        {"a line of spaces as the count", "   \r\n" + strA + strEnd, {"A"}, true},
        {"stale count, more records", "1\r\n" + strA + strB + strC + strEnd, {"A", "B", "C"}, true},
        {"stale count, fewer records", "9\r\n" + strA + strEnd, {"A"}, true},
        {"no END, count met", "2\r\n" + strA + strB, {"A", "B"}, true},
        {"no END, count exceeded", "1\r\n" + strA + strB, {"A", "B"}, true},
        {"nothing after END becomes a car",
         "1\r\n" + strA + "END\r\n" + CarText("END"),
         {"A"},
         true},
        {"no END, count short", "3\r\n" + strA + strB, {"A", "B"}, false},
        {"no END, no count", "many\r\n" + strA, {"A"}, false},
        {"last record cut short", "2\r\n" + strA + strB.substr(0, strB.size() / 2), {"A"}, false},
        {"record cut short before END", "2\r\n" + strA + "Driver\r\n7\r\nEND\r\n", {"A"}, false},
        {"carriage returns alone",
         [&] {
             std::string str = gamefiles::OpponentList({strA, strB});
             std::erase(str, '\n');
             return str;
         }(),
         {},
         false},
        {"a line longer than any record holds",
         "1\r\n" + strA + "// " + std::string(kMaxLineBytes, 'x') + strEnd,
         {},
         false},
    };
    for (const ListCase& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        const OpponentList list = Read(c.strBytes);
        EXPECT_EQ(NamesOf(list), c.aNames);
        EXPECT_EQ(list.bWhole, c.bWhole);
        EXPECT_EQ(list.strReason.empty(), c.bWhole) << list.strReason;
    }
}

TEST_F(ListReaderTest, ACommentBeforeTheCountShiftsNothing) {
    const std::string strList =
        "// edited by hand\r\n" + gamefiles::OpponentList({RecordText("Hog")});
    const OpponentList list = Read(strList);
    ASSERT_EQ(list.apRecords.size(), 1u);
    EXPECT_EQ(list.apRecords[0]->m_strText, RecordText("Hog"));
    EXPECT_EQ(list.apRecords[0]->m_strFileBase, "EAGLE");
}

// What the reasons say: why, then the count against what was read.
TEST_F(ListReaderTest, ReasonsSayWhyAndHowManyWereRead) {
    const std::string strA = CarText("A");
    EXPECT_EQ(Read("").strReason, "The opponent list holds no opponents, not even their count.");
    EXPECT_EQ(Read("3\r\n" + strA).strReason,
              "The opponent list was not read whole: it ends without its END line. Its count "
              "promises 3 opponents; 1 was read.");
    EXPECT_EQ(Read("x\r\n" + strA + "Driver\r\n").strReason,
              "The opponent list was not read whole: it ends inside a record, after 1 of its 11 "
              "values. It has no count of opponents; 1 was read.");
    const OpponentList limited = ParseOpponentList("2\r\n" + strA + CarText("B") + "END\r\n", 1);
    EXPECT_EQ(NamesOf(limited), Names{"A"});
    EXPECT_EQ(limited.strReason, "The opponent list was not read whole: it holds more than 1 "
                                 "opponent. Its count promises 2 opponents; 1 was read.");
}

} // namespace
