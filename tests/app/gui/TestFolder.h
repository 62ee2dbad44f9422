#pragma once

#include "support/Files.h"

#include <filesystem>
#include <string>
#include <vector>

// Game folders made for one GUI test each, and the bytes the program is expected to read and
// write in them.

// One car as the tests write it: the eleven values of a record.
struct CTestCar {
    std::string strDriver;
    std::string strShortName;
    std::string strCar;
    std::string strStrength;
    std::string strCost;
    std::string strNetwork;
    std::string strCarFile;
    std::string strPicture1;
    std::string strPicture2;
    std::string strPicture3;
    std::string strDescription;
};

// The record's lines as they stand in a file: values with comments, and one comment line of its
// own among them, which the program must keep with the record.
std::vector<std::string> RecordLines(const CTestCar& car);
// What the program keeps of a record and writes back: each line trimmed, "\r\n" after each.
std::string KeptText(const CTestCar& car);
// What the information box shows for the car.
std::string RecordInfo(const CTestCar& car);

// A car file as an add-on maker writes it.
std::string CarFileBytes(const CTestCar& car);
// An opponent list in the game's own looser style: indented lines, "\n" line ends, a commented
// count and header numbers that do not follow the order.
std::string GameOpponentList(const std::vector<CTestCar>& aCars);
// The opponent list exactly as Ok must write it for these installed cars, in order.
std::string WrittenOpponentList(const std::vector<CTestCar>& aCars);

using support::FolderNames;
using support::ReadBytes;
using support::WriteBytes;

// A new empty folder under the system's temporary folder.
std::filesystem::path MakeTempFolder();

// The folder most tests use. Car files, in the order the available list must show them
// (case-insensitive by file name, which is not the order of the car names):
//   "alpha.c2c" Red Arrow, "Beta.c2c" Comet, "gamma.C2C" Blue Fin;
// and "ghost.c2c", too short to be a car, which the list leaves out.
// Opponents, in file order: Old Rattler, Red Arrow (the same name as the available car, another
// driver), Ghost.
namespace standard {
const CTestCar& RedArrow();
const CTestCar& Comet();
const CTestCar& BlueFin();
const CTestCar& OldRattler();
const CTestCar& RedArrowInstalled();
const CTestCar& Ghost();
std::vector<CTestCar> Available();
std::vector<CTestCar> Installed();
std::vector<std::string> Names(const std::vector<CTestCar>& aCars);
inline constexpr const char* kGhostFileBytes = "not a car\r\njust a note\r\n";
void Write(const std::filesystem::path& folder);
} // namespace standard
