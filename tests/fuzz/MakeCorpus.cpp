// Writes the seed corpora of the fuzz harnesses: valid files and near misses of each kind.
//   make_fuzz_corpus tests/fuzz/corpus

#include "support/GameFiles.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>

namespace {

namespace fs = std::filesystem;
using namespace gamefiles;

// The two-part input of the harnesses that take two files: the first part's length, then both.
std::string TwoParts(const std::string& strFirst, const std::string& strSecond) {
    std::string str(2, '\0');
    str[0] = static_cast<char>(strFirst.size() & 0xFF);
    str[1] = static_cast<char>((strFirst.size() >> 8) & 0xFF);
    return str + strFirst + strSecond;
}

// The input of the session harness, one byte per choice (see FuzzNothingLost.cpp's decoder).
std::string Bytes(std::initializer_list<int> anBytes) {
    std::string str;
    for (const int n : anBytes)
        str += static_cast<char>(n);
    return str;
}

std::map<std::string, std::map<std::string, std::string>> Seeds() {
    const std::string strOne = RecordText("Hornet", "HORNET");
    const std::string strTwo = RecordText("Wasp", "WASP", "Nimble");
    const std::string strList = OpponentList({strOne, strTwo});
    std::map<std::string, std::map<std::string, std::string>> aSeeds;

    auto& list = aSeeds["fuzz_opponent_list"];
    list["two_records"] = strList;
    list["empty_list"] = OpponentList({});
    list["lf_only"] = "1\n\n// Opponent 0\nA\nB\nC\nD\nE\nF\nG.TXT\nH\nI\nJ\nK\n\nEND\n";
    list["ten_values"] = "1\r\n" + strOne.substr(0, strOne.rfind("Fast"));
    list["comments_between"] = "2\r\n\r\n" + strOne + "// a remark\r\n  \t\r\n" + strTwo + "END";
    list["tight_comments"] = "1\r\nab//c\r\nx//y\r\n//\r\n/\r\n" + strOne;
    list["stray_cr"] = "1\r\n\rA\r\rB\r\nC\r\n" + strTwo;
    list["no_count"] = strOne;
    list["comment_before_count"] = "// edited by hand\r\n" + strList;
    list["cars_after_end"] = strList + strOne;
    list["stale_count"] = "7\r\n" + strOne + "END\r\n";

    auto& archive = aSeeds["fuzz_archive"];
    archive["two_entries"] = Archive({{"opponent.txt", strList, {}}, {"RACES.TXT", "3 races", {}}});
    archive["no_entries"] = Archive({});
    archive["count_too_big"] = Archive({{"A.TXT", "aaaaa", {}}, {"B.TXT", "bbbbbbbb", {}}}, 255);
    archive["size_past_end"] = Archive({{"A.TXT", "aaaa", 4000}});
    archive["name_fills_slot"] = Archive({{std::string(51, 'N'), "full", {}}, {"B", "b", {}}});
    archive["name_runs_on"] = Archive({{std::string(52, 'R'), "over", {}}, {"B", "b", {}}});
    archive["unsafe_name"] = Archive({{"..\\escape.txt", "out", {}}});
    archive["subfolder"] = Archive({{"sub\\inner.txt", "in", {}}, {"SUB\\other.txt", "in", {}}});
    archive["short_header"] = "TWT";
    archive["names_run_far"] = Archive({}, 255) + std::string(8000, 'x') + '\0';

    const std::string strPixels = TilePixels(0xF8, 0x4C, 96);
    auto& pictures = aSeeds["fuzz_pictures"];
    pictures["archive_tile_a"] =
        TwoParts(PictureArchive({TileRecord("EAGLEA", strPixels)}), TileFile(strPixels));
    pictures["archive_second_tile"] = TwoParts(
        PictureArchive({TileRecord("other", TilePixels(1, 2)), TileRecord("eagleb", strPixels)}),
        "");
    pictures["no_pixies"] = TwoParts(PictureArchive({}, "PIXIES.P17"), TileFile(strPixels));
    pictures["unended_record_name"] =
        TwoParts(PictureArchive({std::string(21, '\x01') + "eaglea"}), "");
    pictures["loose_only"] = TwoParts("", TileFile(strPixels));
    pictures["one_byte_archive"] = std::string("\x01\x00Z", 3);

    const std::string strCar = RecordText("Hornet", "HORNET");
    auto& load = aSeeds["fuzz_load_all"];
    load["list_and_car"] = TwoParts(strList, RecordText("Moth", "MOTH"));
    load["car_also_installed"] = TwoParts(strList, strCar);
    load["empty_list_file"] = TwoParts("", strCar);
    load["only_comments"] = TwoParts("// nothing\r\n// here\r\n", "// none\r\n");
    load["unsafe_car_name"] = TwoParts(OpponentList({RecordText("..\\up", "UP")}), "");
    load["tuned_twin"] = TwoParts(strList, RecordText("Hornet", "HORNET", "Tuned"));
    load["driver_named_end"] = TwoParts(strList, RecordText("Moth").replace(0, 10, "END"));
    load["odd_car_names"] = TwoParts(
        OpponentList({RecordText("a/b", "AB"), RecordText("CON", "CON"), RecordText("Caf\xe9")}),
        "");

    // The folder (list: present, records as name and description, comment line, damage, line
    // ends, encoding; car files; kept copies; the old backup; the archive), then the actions.
    auto& session = aSeeds["fuzz_nothing_lost"];
    session["uninstall_export_ok"] = Bytes({1, 3, 0, 0, 1, 0, 2, 0, 0, 0, 0,  0, // list
                                            1, 0, 0, 0, 0, 0, 0,                 // one car file
                                            0, 1, 1,                             // no more
                                            1, 1, 2, 3, 1, 1, 1, 1, 3, 1, 12, 0, 0});
    session["edited_while_asked"] = Bytes({1,  3, 0, 0, 1, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 1, // LF
                                           1,  1, 1, 4, 1, 1,   // the first car down
                                           10, 2, 3, 0,         // another program adds one
                                           12, 1, 1, 2, 1, 0}); // Ok, Yes, edited again
    session["damaged_list_restore"] = Bytes({1, 2, 0, 0, 3, 1, 0, 3, 128, 0, 0,    // cut short
                                             0, 1, 5, 3, 7, 1, 2, 0, 0,   0, 1, 0, // a kept copy
                                             1, 1, 9, 0, 7, 0, 8, 0, 12,  0, 0});
    session["archive_unpacked_with_faults"] =
        Bytes({0,  0, 0, 1, 0, 1,  0, 2, 0, 0, 1, 0, 0, 0,  0, 0, 2,  0, 0, 0, 0, 0, 1, // archive
               11, 7, 0, 0, 0, 11, 3, 0, 1, 1, 1, 3, 1, 11, 8, 2, 12, 1, 0});
    session["utf16_list_and_can"] =
        Bytes({1, 1, 0, 0, 0, 0, 2, 2,                              // CR line ends, UTF-16
               2, 1, 2, 1, 0, 4, 1, 0,  3, 3, 2,  0,  20, 65, 0, 0, // a cut car file, a bad one
               0, 0, 1, 0, 0, 1, 0, 0,  1, 1,                       // the old backup with a mark
               2, 0, 1, 0, 1, 2, 0, 12, 1, 0, 13, 10, 1,  1,  4, 0, 0,
               0, 0, 0, 0, 6, 1, 0, 5,  5, 1, 1,  1,  0,  12, 0, 0});
    return aSeeds;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_corpus CORPUS_FOLDER\n";
        return 2;
    }
    for (const auto& [strHarness, aFiles] : Seeds()) {
        const fs::path folder = fs::path(argv[1]) / strHarness;
        fs::create_directories(folder);
        for (const auto& [strName, strBytes] : aFiles) {
            std::ofstream out(folder / strName, std::ios::binary | std::ios::trunc);
            out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
        }
    }
    return 0;
}
