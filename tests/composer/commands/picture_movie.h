#pragma once
// A small movie of picture clips for the tests of the commands and the windows.
#include <cstdint>
#include <string>
#include <vector>

#include "document/movie_records.h"

namespace composer {

struct TestEntry {
    int32_t clip;
    std::vector<int32_t> overlays;
};

// A movie of picture clips, clip n from files[n - 1], on the given tracks; clip 1 is current.
MovieDbRec PictureMovie(const std::vector<std::string>& files, const std::vector<TestEntry>& arranged,
                        const std::vector<int32_t>& unused);

}  // namespace composer
