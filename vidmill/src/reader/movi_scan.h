// The data chunks of an AVI file found by walking its 'movi' lists chunk by chunk, as a check on
// the file's index: a copy that stopped early, or an index written wrongly, lists fewer chunks than
// the file holds, or places that are not chunks of the file at all.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vidmill::reader {

struct MoviChunks {
    // Per stream number (the two digits of "00dc", "01wb" ...): the file offsets of its chunks'
    // headers, in file order.
    std::map<int, std::vector<std::uint64_t>> streams;
    // Per stream number: where each of those chunks ends (its header offset + 8 + its size).
    std::map<int, std::vector<std::uint64_t>> chunkEnds;
    // Per stream number: how many of those chunks are empty.
    std::map<int, std::uint64_t> emptyChunks;
    // The offsets of the index chunks to hide when the index is not to be trusted: "idx1" and
    // the OpenDML super indexes ("indx").
    std::vector<std::uint64_t> indexChunks;
    std::uint64_t fileSize = 0;
};

// Walks the file's RIFF lists (the first and any extension parts) and their 'movi' lists, never
// past the end of the file, reading 8 bytes per chunk. A file that is not RIFF gives no chunks.
MoviChunks ScanMovi(const std::string& path);

// Whether `position` (a packet's place in the file, as the demuxer gives it) lies inside one of the
// whole chunks of stream `stream` in a 'movi' list: not in an index, a header or a cut-off chunk.
bool InsideChunkOf(const MoviChunks& chunks, int stream, std::uint64_t position);

}  // namespace vidmill::reader
