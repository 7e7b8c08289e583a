#pragma once
// The byte-level pieces the WAV header reader and the sample loader share: an open file, its
// little-endian numbers and the search for the data marker.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cbplatform/file_owner.h"

namespace composer::wav {

using cb::FilePtr;

// A WAV file opened for reading, with its length; the file is null when it cannot be opened, and
// then problem says why in the system's words ("No such file or directory", "Is a directory", "not
// a regular file": a pipe or a device is never opened, it could block the reader for ever).
struct OpenedWav {
    FilePtr file;
    int64_t lengthBytes = 0;
    std::string problem;
};
OpenedWav OpenForReading(const std::string& fileName);

// The byte at a 1-based position, and the little-endian 16- and 32-bit numbers starting there;
// 0 for bytes the file does not have.
uint8_t ByteAt(std::FILE* file, int64_t position);
uint16_t Word16At(std::FILE* file, int64_t position);
uint32_t Word32At(std::FILE* file, int64_t position);

// Where the samples are: the 1-based position of the first sample byte and the declared data size.
struct DataChunk {
    int64_t dataStart = 0;
    uint32_t dataBytes = 0;
};
// Looks for "data" in any case at positions 36 .. 100000 (while the 4 bytes lie in the file).
std::optional<DataChunk> FindDataMarker(std::FILE* file, int64_t lengthBytes);

// Bytes of one frame: bits / 8 x channels, rounded (halves to even), as the program computes it.
int32_t BlockBytes(int32_t bits, int32_t channels);

}  // namespace composer::wav
