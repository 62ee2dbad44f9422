#include "tools/DemoFolder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kTileSide = 64;
constexpr int kPictureWidth = 3 * kTileSide;
constexpr int kPictureHeight = 2 * kTileSide;
constexpr std::size_t kTileBytes = 2 * kTileSide * kTileSide; // 8192
constexpr std::size_t kSlotBytes = 56;
constexpr std::size_t kSlotNameBytes = kSlotBytes - 4; // after the 4-byte size
constexpr std::size_t kLooseTileOffset = 38;
constexpr const char* kTileLetters = "ABCDEF";
constexpr const char* kCrLf = "\r\n";

enum class PictureKind { Archive, Loose, None };

// One car as it stands in the opponent list or in a car file.
struct DemoCar {
    std::string strFile; // car file name; empty for opponents
    std::string strDriver;
    std::string strCar;
    std::string strBase; // the seventh value is this plus ".TXT"
    PictureKind kind = PictureKind::None;
    int nSeed = 0; // picks the numbers and the description
};

struct SmallCar {
    const char* pFile;
    const char* pCar;
    const char* pBase;
    PictureKind kind;
};

using enum PictureKind;

// Four opponents share a file base with another one; PHANTOM has no picture.
constexpr std::array<SmallCar, 30> kSmallOpponents{{
    {"", "Raptor GT", "RAPTOR", Archive},      {"", "Eagle Mk II", "EAGLE", Loose},
    {"", "Hornet", "HORNET", Archive},         {"", "Sandpiper", "SANDPIP", Loose},
    {"", "Blue Streak", "STREAK", Archive},    {"", "Iron Duke", "DUKE", Loose},
    {"", "Vixen", "VIXEN", Archive},           {"", "Thunderbox", "TBOX", Loose},
    {"", "Marauder", "MARAUD", Archive},       {"", "Red Baron", "BARON", Loose},
    {"", "Kestrel", "KESTREL", Archive},       {"", "Dune Buggy", "BUGGY", Loose},
    {"", "Mamba", "MAMBA", Archive},           {"", "Tin Lizzie", "LIZZIE", Loose},
    {"", "Juggernaut", "JUGGER", Archive},     {"", "Silver Arrow", "ARROW", Loose},
    {"", "Badger", "BADGER", Archive},         {"", "Cyclone", "CYCLONE", Loose},
    {"", "Wombat", "WOMBAT", Archive},         {"", "Nightjar", "NIGHTJAR", Loose},
    {"", "Goliath", "GOLIATH", Archive},       {"", "Pixie", "PIXIE", Loose},
    {"", "Raptor RS", "RAPTOR", Archive},      {"", "Eagle Sport", "EAGLE", Loose},
    {"", "Hornet Pro", "HORNET", Archive},     {"", "Stingray", "STINGRAY", Archive},
    {"", "Phantom", "PHANTOM", None},          {"", "Dumper", "DUMPER", Loose},
    {"", "Kestrel Turbo", "KESTREL", Archive}, {"", "Old Faithful", "FAITHFUL", Archive},
}};

// File names in mixed case; Hornet matches an opponent's car name, Raptor GTS shares its file
// base, Mirage has no picture and lynx has a lower-case file base.
constexpr std::array<SmallCar, 20> kSmallCarFiles{{
    {"Comet.C2C", "Comet", "COMET", Archive},
    {"BLAZER.c2c", "Blazer", "BLAZER", Loose},
    {"vortex.c2c", "Vortex", "VORTEX", Archive},
    {"Tempest.c2c", "Tempest", "TEMPEST", Loose},
    {"Gazelle.C2c", "Gazelle", "GAZELLE", Archive},
    {"Scorpion.c2c", "Scorpion", "SCORPION", Loose},
    {"Meteor.c2c", "Meteor", "METEOR", Archive},
    {"Falcon.c2c", "Falcon", "FALCON", Loose},
    {"Rascal.c2c", "Rascal", "RASCAL", Archive},
    {"Zephyr.C2C", "Zephyr", "ZEPHYR", Loose},
    {"Brute.c2c", "Brute", "BRUTE", Archive},
    {"Quicksilver.c2c", "Quicksilver", "QSILVER", Loose},
    {"Nova.c2c", "Nova", "NOVA", Archive},
    {"Sidewinder.c2c", "Sidewinder", "SIDEWIND", Loose},
    {"Mirage.c2c", "Mirage", "MIRAGE", None},
    {"Rocket.c2c", "Rocket", "ROCKET", Archive},
    {"Cobra.c2c", "Cobra", "COBRA", Loose},
    {"Hornet.c2c", "Hornet", "HORNETX", Archive},
    {"Raptor GTS.c2c", "Raptor GTS", "RAPTOR", Archive},
    {"Lynx.c2c", "Lynx", "lynx", Loose},
}};

constexpr std::array<const char*, 25> kFirstNames{
    "Vera",  "Tomas", "Ingrid", "Marco",  "Delia", "Rufus", "Anneke",  "Pavel", "Sunita",
    "Hugo",  "Maeve", "Jonah",  "Carmen", "Otto",  "Lena",  "Desmond", "Yuki",  "Bram",
    "Olive", "Felix", "Nadia",  "Cyril",  "Greta", "Emil",  "Rosa"};
constexpr std::array<const char*, 25> kLastNames{
    "Holt",     "Varga",   "Lindqvist", "Brenner", "Okafor",   "Castellan", "Moreau",
    "Novak",    "Quill",   "Ashdown",   "Petrov",  "Sandoval", "Whitlock",  "Kaminski",
    "Duarte",   "Fenwick", "Albright",  "Rourke",  "Tanaka",   "Vella",     "Hargreave",
    "Lindgren", "Mbeki",   "Crane",     "Osei"};
constexpr std::array<const char*, 10> kDescriptions{
    "A nimble coupe with more nerve than grip",
    "Heavy, slow off the line and very hard to push aside",
    "Built in a barn from three wrecks and a lot of welding",
    "Twitchy at speed but unbeatable through the hairpins",
    "A former delivery van that never learned to brake",
    "Low, wide and loud; the crowd's favourite",
    "Steady and careful, rarely first and rarely last",
    "Wins on the straights and loses it all in the corners",
    "Its driver swears it has a mind of its own",
    "Polished chrome over a borrowed engine",
};

std::string Pad(std::string strValue, const std::string& strComment) {
    strValue.resize(std::max<std::size_t>(strValue.size() + 2, 24), ' ');
    return strValue + "// " + strComment;
}

// The eleven values of one record, one line each with its comment.
std::string RecordText(const DemoCar& car, const char* pEol) {
    const int nStrength = 1 + car.nSeed % 5;
    const std::string strShort =
        std::string(1, car.strDriver[0]) + car.strDriver.substr(car.strDriver.find(' ') + 1, 6);
    const std::array<std::string, 11> aLines{
        Pad(car.strDriver, "Driver"),
        Pad(strShort, "Short name"),
        Pad(car.strCar, "Car name"),
        Pad(std::to_string(nStrength), "Strength (1 to 5)"),
        Pad(std::to_string(10000 + nStrength * 12000 + car.nSeed % 7 * 1500), "Cost"),
        Pad(std::to_string(car.nSeed % 3), "Network availability (0 = never, 2 = always)"),
        Pad(car.strBase + ".TXT", "Car data file"),
        Pad(std::to_string(150 + car.nSeed * 37 % 90), "Top speed"),
        Pad(std::to_string(55 + car.nSeed * 13 % 40), "Grip"),
        Pad(std::to_string(900 + car.nSeed * 53 % 700), "Weight"),
        Pad(kDescriptions[car.nSeed % kDescriptions.size()], "Description"),
    };
    std::string strText;
    for (std::size_t i = 0; i < aLines.size(); ++i) {
        // Some records carry a note among their values, as hand-edited lists do.
        if (i == 10 && car.nSeed % 7 == 3)
            strText += std::string("// Entered for the club season") + pEol;
        strText += aLines[i] + pEol;
    }
    return strText;
}

std::string OpponentList(const std::vector<DemoCar>& aOpponents) {
    std::string strText = Pad(std::to_string(aOpponents.size()), "Number of opponents") + kCrLf;
    for (std::size_t i = 0; i < aOpponents.size(); ++i)
        strText += std::string(kCrLf) + "// Opponent " + std::to_string(i) + kCrLf +
                   RecordText(aOpponents[i], kCrLf) + kCrLf;
    return strText + "END" + kCrLf;
}

void Put16(std::string& str, unsigned nValue) {
    str += static_cast<char>(nValue & 0xFF);
    str += static_cast<char>((nValue >> 8) & 0xFF);
}

void Put32(std::string& str, std::size_t nValue) {
    Put16(str, static_cast<unsigned>(nValue & 0xFFFF));
    Put16(str, static_cast<unsigned>((nValue >> 16) & 0xFFFF));
}

struct ArchiveEntry {
    std::string strName;
    std::string strData;
};

// The archive container: 4 bytes (the file's length), the count byte, 3 zero bytes, 56-byte
// slots (size, NUL-padded name), then the data, each entry padded to a multiple of 4.
std::string ArchiveBytes(const std::vector<ArchiveEntry>& aEntries) {
    if (aEntries.size() > 255)
        throw std::runtime_error("An archive holds at most 255 entries");
    std::string strDirectory;
    std::string strData;
    for (const ArchiveEntry& entry : aEntries) {
        if (entry.strName.size() >= kSlotNameBytes)
            throw std::runtime_error("Archive entry name too long: " + entry.strName);
        Put32(strDirectory, entry.strData.size());
        strDirectory += entry.strName;
        strDirectory.append(kSlotNameBytes - entry.strName.size(), '\0');
        strData += entry.strData;
        strData.append((4 - strData.size() % 4) % 4, '\0');
    }
    std::string strArchive;
    Put32(strArchive, 8 + strDirectory.size() + strData.size());
    strArchive += static_cast<char>(aEntries.size());
    strArchive.append(3, '\0');
    return strArchive + strDirectory + strData;
}

struct Rgb {
    std::uint8_t r, g, b; // 4 bits each
};

constexpr std::array<Rgb, 12> kBodyColours{{{15, 2, 2},
                                            {2, 5, 15},
                                            {15, 13, 1},
                                            {2, 12, 3},
                                            {15, 8, 1},
                                            {9, 3, 13},
                                            {2, 13, 14},
                                            {14, 14, 14},
                                            {15, 6, 11},
                                            {9, 15, 2},
                                            {9, 5, 2},
                                            {1, 2, 8}}};
constexpr std::array<Rgb, 4> kSkyColours{{{12, 12, 12}, {9, 12, 15}, {15, 14, 10}, {10, 14, 10}}};
constexpr Rgb kGround{4, 4, 4};
constexpr Rgb kGlass{6, 10, 14};
constexpr Rgb kTyre{1, 1, 1};
constexpr Rgb kHub{10, 10, 10};
constexpr Rgb kLamp{15, 15, 8};

bool InCircle(int x, int y, int cx, int cy, int r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// A side view of a car over the whole 192 x 128 picture: sky and road, a body in the car's own
// colour with a stripe, a cabin with two windows, a head lamp and two wheels. The seed picks the
// colours and where the cabin sits.
std::vector<Rgb> DrawCar(int nSeed) {
    const Rgb body = kBodyColours[nSeed % kBodyColours.size()];
    const std::size_t nRound = nSeed / kBodyColours.size(); // never the body's own colour
    const Rgb stripe = kBodyColours[(nSeed + 1 + nRound % 11) % kBodyColours.size()];
    const Rgb sky = kSkyColours[nRound % kSkyColours.size()];
    const int nCabin = 40 + nSeed % 4 * 8; // left end of the cabin
    std::vector<Rgb> aPixels(kPictureWidth * kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            Rgb colour = y < 104 ? sky : kGround;
            const int nInset = (62 - y) / 2; // the cabin narrows towards its roof
            if (y >= 34 && y < 62 && x >= nCabin + nInset && x < nCabin + 80 - nInset) {
                const bool bWindow = y >= 38 && y < 58 && x >= nCabin + nInset + 4 &&
                                     x < nCabin + 76 - nInset &&
                                     (x < nCabin + 38 || x >= nCabin + 42);
                colour = bWindow ? kGlass : body;
            }
            const bool bCorner = (x < 22 || x >= 170) && (y < 70 || y >= 90) &&
                                 !InCircle(x, y, x < 22 ? 22 : 169, y < 70 ? 70 : 89, 8);
            if (y >= 62 && y < 98 && x >= 14 && x < 178 && !bCorner)
                colour = y >= 74 && y < 80 ? stripe : body;
            if (y >= 68 && y < 74 && x >= 170 && x < 177)
                colour = kLamp;
            for (const int cx : {48, 144}) {
                if (InCircle(x, y, cx, 98, 18))
                    colour = InCircle(x, y, cx, 98, 7) ? kHub : kTyre;
            }
            aPixels[y * kPictureWidth + x] = colour;
        }
    }
    return aPixels;
}

// Tile nTile (0 to 5 for A to F, three across and two down) in the game's pixel format: the first
// byte's low nibble red, the second byte's high nibble green and low nibble blue.
std::string TileBytes(const std::vector<Rgb>& aPixels, int nTile) {
    const int x0 = nTile % 3 * kTileSide;
    const int y0 = nTile / 3 * kTileSide;
    std::string strTile;
    strTile.reserve(kTileBytes);
    for (int y = y0; y < y0 + kTileSide; ++y) {
        for (int x = x0; x < x0 + kTileSide; ++x) {
            const Rgb& p = aPixels[y * kPictureWidth + x];
            strTile += static_cast<char>(p.r);
            strTile += static_cast<char>(p.g << 4 | p.b);
        }
    }
    return strTile;
}

std::string Lower(std::string str) {
    for (char& c : str)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return str;
}

// The "PIXIES.P16" entry: 16 bytes (the record count), then one pixel-map record per tile.
std::string PixiesEntry(const std::string& strBase, const std::vector<Rgb>& aPixels, int nSeed) {
    std::string strData;
    Put32(strData, 6);
    strData.append(12, '\0');
    for (int nTile = 0; nTile < 6; ++nTile) {
        const std::string strName = strBase + kTileLetters[nTile];
        strData += '\x03'; // head: record kind, width, height
        Put16(strData, kTileSide);
        Put16(strData, kTileSide);
        strData.append(16, '\0');
        // Record names come in either case; the program matches them without regard to it.
        strData += (nSeed % 2 == 0 ? Lower(strName) : strName);
        strData += '\0';
        Put32(strData, kTileBytes); // pixel head
        Put16(strData, kTileSide);
        Put16(strData, kTileSide);
        strData.append(8, '\0');
        strData += TileBytes(aPixels, nTile);
        strData.append(8, '\0'); // tail
    }
    return strData;
}

std::string LooseTile(const std::vector<Rgb>& aPixels, int nTile) {
    std::string strTile;
    Put16(strTile, kTileSide);
    Put16(strTile, kTileSide);
    Put32(strTile, kTileBytes);
    strTile.append(kLooseTileOffset - strTile.size(), '\0');
    return strTile + TileBytes(aPixels, nTile);
}

void WriteFile(const fs::path& path, const std::string& strBytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("Could not write the demo file " + path.string());
}

void WritePicture(const fs::path& carImage, const DemoCar& car, int nSeed) {
    const std::vector<Rgb> aPixels = DrawCar(nSeed);
    if (car.kind == Archive) {
        const std::string strNote = "Pictures of the " + car.strCar + "\r\n";
        WriteFile(carImage / (car.strBase + "CI.TWT"),
                  ArchiveBytes({{"NOTES.TXT", strNote},
                                {"PIXIES.P16", PixiesEntry(car.strBase, aPixels, nSeed)}}));
    } else if (car.kind == Loose) {
        const fs::path tiles = carImage / (car.strBase + "CI") / "PIX16";
        fs::create_directories(tiles);
        for (int nTile = 0; nTile < 6; ++nTile)
            WriteFile(tiles / (car.strBase + kTileLetters[nTile] + ".PIX"),
                      LooseTile(aPixels, nTile));
    }
}

std::string Driver(int nSeed) {
    return std::string(kFirstNames[nSeed % kFirstNames.size()]) + " " +
           kLastNames[(nSeed * 7 + 3) % kLastNames.size()];
}

DemoCar FromTable(const SmallCar& row, int nSeed) {
    return {row.pFile, Driver(nSeed), row.pCar, row.pBase, row.kind, nSeed};
}

std::string Number(int n) {
    std::string str = std::to_string(n);
    return std::string(str.size() < 4 ? 4 - str.size() : 0, '0') + str;
}

void MakeCars(const DemoFolderOptions& options, std::vector<DemoCar>& aCarFiles,
              std::vector<DemoCar>& aOpponents) {
    if (options.m_nCars == 0) {
        for (std::size_t i = 0; i < kSmallOpponents.size(); ++i)
            aOpponents.push_back(FromTable(kSmallOpponents[i], static_cast<int>(i)));
        for (std::size_t i = 0; i < kSmallCarFiles.size(); ++i)
            aCarFiles.push_back(FromTable(kSmallCarFiles[i], static_cast<int>(100 + i)));
        return;
    }
    constexpr std::array<const char*, 3> kExtensions{".c2c", ".C2C", ".C2c"};
    for (int i = 0; i < options.m_nCars; ++i) {
        const std::string strModel = kSmallCarFiles[i % kSmallCarFiles.size()].pCar;
        const std::string strCar = strModel + " " + Number(i);
        aCarFiles.push_back({strCar + kExtensions[i % kExtensions.size()], Driver(i), strCar,
                             "C" + Number(i), i % 2 == 0 ? Archive : Loose, i});
        const std::string strWorks = kSmallOpponents[i % kSmallOpponents.size()].pCar;
        aOpponents.push_back({"", Driver(i + 11), strWorks + " Works " + Number(i), "O" + Number(i),
                              i % 2 == 0 ? Loose : Archive, i + 11});
    }
}

} // namespace

void WriteDemoFolder(const fs::path& folder, const DemoFolderOptions& options) {
    if (options.m_nCars < 0)
        throw std::runtime_error("The number of cars cannot be negative");
    if (fs::exists(folder) && !fs::is_empty(folder))
        throw std::runtime_error("The demo folder " + folder.string() + " is not empty");
    const fs::path carImage = folder / "data" / "intrface" / "carimage";
    fs::create_directories(carImage); // unpacking makes no folders

    std::vector<DemoCar> aCarFiles;
    std::vector<DemoCar> aOpponents;
    MakeCars(options, aCarFiles, aOpponents);

    WriteFile(folder / "data.twt",
              ArchiveBytes({{"opponent.txt", OpponentList(aOpponents)},
                            {"racers.txt", "Best lap times\r\nnone yet\r\n"},
                            {"tracks.txt", "Harbour Loop\r\nQuarry Run\r\nOld Mill Circuit\r\n"
                                           "Coastal Sprint\r\n"}}));
    for (const DemoCar& car : aCarFiles) {
        // Car files come from many hands; every fifth one has bare line feeds.
        const char* pEol = car.nSeed % 5 == 4 ? "\n" : kCrLf;
        WriteFile(folder / car.strFile, RecordText(car, pEol));
    }

    // One picture per file base, drawn in the colours that go with the base's place in the order.
    std::set<std::string> aBases;
    for (const std::vector<DemoCar>* pCars : {&aOpponents, &aCarFiles}) {
        for (const DemoCar& car : *pCars) {
            if (aBases.insert(car.strBase).second)
                WritePicture(carImage, car, static_cast<int>(aBases.size() - 1));
        }
    }
}
