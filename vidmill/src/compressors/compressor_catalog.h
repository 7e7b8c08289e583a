// The video compressors installed on this machine: "DIB " (uncompressed frames) and every FFmpeg
// encoder that has an AVI four-character code, one entry per handler code. This is the list the
// compressor enumeration walks and a free-standing compressor looks its handler up in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::compressors {

struct CompressorInfo {
    std::uint32_t handler = 0;  // four-character code, first character in the lowest byte
    std::string name;           // short name, at most 16 characters
    std::string description;    // full name, at most 128 characters
    std::string driver;         // the library file that does the work, at most 128 characters
    std::int32_t version = 0;   // that library's version (major << 16 | minor << 8 | micro)
    bool supportsQuality = false;
    bool supportsDraw = false;
    bool supportsAbout = false;
    // Null for "DIB ": the frames are stored as they are.
    const AVCodec* encoder = nullptr;
};

// The list, built once per process: "DIB " first, then the encoders by name. No two entries
// share a handler code.
const std::vector<CompressorInfo>& InstalledCompressors();

// The entry of a handler code, or null when no installed compressor has it.
const CompressorInfo* FindCompressor(std::uint32_t handler);

// True when the compressor takes 320 x 200 frames of 24 or 32 bits: its encoder really opens for
// them and what it makes decodes again with the decoder of the code written. Worked out once per
// handler and FFmpeg build, and remembered in the user's cache folder (WritingVerdicts).
bool SupportsWriting(const CompressorInfo& compressor);

// The key-frame interval and quality (0..10000) the compressor works with when given none; 0 for
// a compressor that has no encoder to ask.
std::int32_t DefaultKeyFrameRate(const CompressorInfo& compressor);
std::int32_t DefaultQuality(const CompressorInfo& compressor);

}  // namespace vidmill::compressors
