#pragma once

#include "opponents/CarRecord.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Given a file base, gives a picture number (CarRecord::m_nImage).
using PictureSource = std::function<int(const std::string& strFileBase)>;

// An opponent list kept on disk that the installed list can be put back to.
struct RestorableList {
    std::string strLabel; // "2026-12-08 07:15:02 - 42 opponents", "Before Gridwright - 40 ..."
    std::vector<std::unique_ptr<CarRecord>> apRecords; // what could be read of it
    bool bWhole = false;                               // only a list read whole is restored
};

// The newest kKeptListsKept copies in "data\backups", newest first, then the list as it was
// before this program first changed it. A file larger than any opponent list is not read, and
// shows as damaged. Records get their pictures from the source.
std::vector<RestorableList> ReadKeptLists(const PictureSource& pictureSource);

// How a list of car names differs from the installed one. A car of one list is paired with a car
// of the same name in the other, the k-th of a name with the k-th; the cars left over are more or
// less, and of the paired ones, "in another place" counts the fewest that would have to move to
// give the other order.
struct ListDifference {
    int nMore = 0;
    int nLess = 0;
    int nMoved = 0;
    bool operator==(const ListDifference&) const = default;
};
ListDifference CompareCarLists(const std::vector<std::string>& astrInstalled,
                               const std::vector<std::string>& astrOther);
// "3 cars more, 1 less, 5 in another place"; the parts that are zero are left out.
std::string DescribeDifference(const ListDifference& difference);
