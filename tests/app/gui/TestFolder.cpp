#include "TestFolder.h"

#include "support/GameFiles.h"

#include <atomic>
#include <chrono>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

// A value padded to a column, then its comment, as opponent lists are usually laid out.
std::string Commented(const std::string& strValue, const std::string& strComment) {
    const std::size_t nColumn = 24;
    const std::size_t nPad = strValue.size() < nColumn ? nColumn - strValue.size() : 1;
    return strValue + std::string(nPad, ' ') + "// " + strComment;
}

std::string Trimmed(const std::string& str) {
    const char* const pszSpace = " \t\n\v\f\r";
    const std::size_t nFirst = str.find_first_not_of(pszSpace);
    if (nFirst == std::string::npos)
        return {};
    return str.substr(nFirst, str.find_last_not_of(pszSpace) - nFirst + 1);
}

} // namespace

std::vector<std::string> RecordLines(const CTestCar& car) {
    return {
        Commented(car.strDriver, "driver"),
        Commented(car.strShortName, "short name"),
        "// the car and what it takes",
        Commented(car.strCar, "car"),
        Commented(car.strStrength, "strength"),
        Commented(car.strCost, "cost"),
        Commented(car.strNetwork, "network availability"),
        Commented(car.strCarFile, "car file"),
        car.strPicture1,
        car.strPicture2,
        car.strPicture3,
        Commented(car.strDescription, "description"),
    };
}

std::string KeptText(const CTestCar& car) {
    std::string strText;
    for (const std::string& strLine : RecordLines(car))
        strText += Trimmed(strLine) + "\r\n";
    return strText;
}

std::string RecordInfo(const CTestCar& car) {
    return "Driver: " + car.strDriver + "\r\nCar: " + car.strCar +
           "\r\nStrength: " + car.strStrength + "\r\nCost: " + car.strCost +
           "\r\nNetwork Availability: " + car.strNetwork + "\r\n" + car.strPicture1 + "\r\n" +
           car.strPicture2 + "\r\n" + car.strPicture3 + "\r\nDescription: " + car.strDescription +
           "\r\n";
}

std::string CarFileBytes(const CTestCar& car) {
    std::string strBytes;
    for (const std::string& strLine : RecordLines(car))
        strBytes += strLine + "\r\n";
    return strBytes;
}

std::string GameOpponentList(const std::vector<CTestCar>& aCars) {
    std::string strBytes = Commented(std::to_string(aCars.size()), "number of opponents") + "\n\n";
    int nHeader = 40;
    for (const CTestCar& car : aCars) {
        strBytes += "// Opponent " + std::to_string(nHeader--) + "\n";
        for (const std::string& strLine : RecordLines(car))
            strBytes += "\t  " + strLine + " \t\n";
        strBytes += "\n\n";
    }
    return strBytes + "END\n";
}

std::string WrittenOpponentList(const std::vector<CTestCar>& aCars) {
    std::vector<std::string> astrTexts;
    for (const CTestCar& car : aCars)
        astrTexts.push_back(KeptText(car));
    return gamefiles::OpponentList(astrTexts);
}

fs::path MakeTempFolder() {
    static std::atomic<int> nSerial = 0;
    const auto nTicks = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder =
        fs::temp_directory_path() / ("gw-gui-" + std::to_string(GetCurrentProcessId()) + "-" +
                                     std::to_string(nSerial++) + "-" + std::to_string(nTicks));
    fs::create_directories(folder);
    return folder;
}

namespace standard {

const CTestCar& RedArrow() {
    static const CTestCar car{"Ann Archer",
                              "ANN",
                              "Red Arrow",
                              "3",
                              "52000",
                              "1",
                              "REDARROW.TXT",
                              "ARROW.PIX",
                              "ARROW.MAT",
                              "ARROW.ACT",
                              "A low red car that corners hard."};
    return car;
}

const CTestCar& Comet() {
    static const CTestCar car{"Bea Brook",
                              "BEA",
                              "Comet",
                              "2",
                              "31000",
                              "0",
                              "COMET.TXT",
                              "COMET.PIX",
                              "COMET.MAT",
                              "COMET.ACT",
                              "Light, quick, and fragile."};
    return car;
}

const CTestCar& BlueFin() {
    static const CTestCar car{"Cy Coral",
                              "CY",
                              "Blue Fin",
                              "4",
                              "77000",
                              "1",
                              "BLUEFIN.TXT",
                              "BLUFIN.PIX",
                              "BLUFIN.MAT",
                              "BLUFIN.ACT",
                              "Heavy; wins on long straights."};
    return car;
}

const CTestCar& OldRattler() {
    static const CTestCar car{"Max Mole",
                              "MAX",
                              "Old Rattler",
                              "1",
                              "9000",
                              "0",
                              "RATTLER.TXT",
                              "RATTL.PIX",
                              "RATTL.MAT",
                              "RATTL.ACT",
                              "Rusty but still running."};
    return car;
}

const CTestCar& RedArrowInstalled() {
    static const CTestCar car{"Rex Racer",
                              "REX",
                              "Red Arrow",
                              "5",
                              "52000",
                              "1",
                              "REDARROW.TXT",
                              "ARROW.PIX",
                              "ARROW.MAT",
                              "ARROW.ACT",
                              "The factory driver of the red car."};
    return car;
}

const CTestCar& Ghost() {
    static const CTestCar car{"Gil Grey",
                              "GIL",
                              "Ghost",
                              "3",
                              "40000",
                              "1",
                              "GHOST.TXT",
                              "GHOST.PIX",
                              "GHOST.MAT",
                              "GHOST.ACT",
                              "Grey, silent, seldom seen."};
    return car;
}

std::vector<CTestCar> Available() {
    return {RedArrow(), Comet(), BlueFin()};
}

std::vector<CTestCar> Installed() {
    return {OldRattler(), RedArrowInstalled(), Ghost()};
}

std::vector<std::string> Names(const std::vector<CTestCar>& aCars) {
    std::vector<std::string> aNames;
    for (const CTestCar& car : aCars)
        aNames.push_back(car.strCar);
    return aNames;
}

void Write(const fs::path& folder) {
    fs::create_directories(folder / "data");
    // Written out of order, so that only a sort gives the expected list.
    WriteBytes(folder / "gamma.C2C", CarFileBytes(BlueFin()));
    WriteBytes(folder / "ghost.c2c", kGhostFileBytes);
    WriteBytes(folder / "alpha.c2c", CarFileBytes(RedArrow()));
    WriteBytes(folder / "Beta.c2c", CarFileBytes(Comet()));
    WriteBytes(folder / "data" / "opponent.txt", GameOpponentList(Installed()));
}

} // namespace standard
