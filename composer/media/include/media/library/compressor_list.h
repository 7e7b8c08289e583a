#pragma once
// The library's video compressors that can write a movie, for the dialogs that let the user choose.
#include <cstdint>
#include <string>
#include <vector>

namespace composer {

struct CompressorEntry {
    int32_t handler = 0;  // four-character code as a number
    std::string name;
    std::string description;
    bool supportsQuality = false;
    int32_t defaultQuality = 0;       // 0 .. 10000
    int32_t defaultKeyFrameRate = 0;  // frames between key frames
};

// Every installed compressor that writes, in the library's order. Throws LibraryError when the
// library cannot be reached.
std::vector<CompressorEntry> WritingCompressors();

}  // namespace composer
