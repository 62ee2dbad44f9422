#pragma once

#include <filesystem>

// A synthetic game installation folder, made from scratch: the game archive "data.twt" holding
// the opponent list, add-on car files beside it and car pictures under "data/intrface/carimage/"
// in both of the game's picture layouts. Written with the standard library alone, so that it can
// check the program's own readers. The same options always give the same bytes.
struct DemoFolderOptions {
    // 0: the hand-sized demo (30 opponents, 20 car files, some shared file bases, two cars without
    // a picture). N > 0: N car files and N opponents, each with its own file base and picture,
    // half of them picture archives and half loose tile files.
    int m_nCars = 0;
};

// Writes the folder, creating it. Raises std::runtime_error when the folder exists and is not
// empty (its old files would make the result differ) and std::filesystem::filesystem_error or
// std::runtime_error when a file cannot be written.
void WriteDemoFolder(const std::filesystem::path& folder, const DemoFolderOptions& options);
