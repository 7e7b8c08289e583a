// An AVI file written chunk by chunk, each byte once.
//
// The header names the video stream and keeps room for one sound stream; frames are written as
// they come; a sound track, which may be known only when the frames are done, follows the video
// at the end, so no frame is ever copied. Finishing writes the indexes and the counts. A file
// grows past 1 GiB in extension parts with the extended indexes, so any length stays readable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "avi/avi_layout.h"
#include "cbplatform/file_owner.h"

namespace vidmill::writer {

struct AviVideoFormat {
    std::uint32_t handler = 0;  // four-character code of the compressor
    std::uint32_t scale = 1;    // frames per second = rate / scale
    std::uint32_t rate = 25;
    int width = 0;
    int height = 0;
    bool compressed = true;            // chunks tagged "dc" (compressed) or "db" (bitmap rows)
    std::vector<std::uint8_t> format;  // the stream format: a bitmap info header and what follows
};

struct AviSoundFormat {
    std::uint32_t scale = 1;  // blocks per second = rate / scale
    std::uint32_t rate = 1;
    std::uint32_t sampleSize = 0;      // bytes per block; 0 when every chunk is one block
    std::vector<std::uint8_t> format;  // the stream format: a wave format header and what follows
};

class AviContainer {
  public:
    // Each part of the file (the first, then its extensions) stays within 1 GiB, the size older
    // readers handle.
    static constexpr std::uint64_t kPartLimit = std::uint64_t{1} << 30;

    // Creates (or truncates) the file; null when it cannot be created.
    static std::unique_ptr<AviContainer> Create(const std::string& path,
                                                std::uint64_t partLimit = kPartLimit);
    AviContainer(const AviContainer&) = delete;
    AviContainer& operator=(const AviContainer&) = delete;

    // Whether a sound stream of this format fits the room the header keeps.
    static bool SoundFormatFits(const AviSoundFormat& sound);

    // Writes the header. False on a write failure.
    bool start(const AviVideoFormat& video);
    // One frame's chunk. False on a write failure (or a file of more than 256 parts).
    bool writeVideo(const std::uint8_t* data, std::size_t size, bool keyFrame);
    // Names the sound stream; its chunks follow with writeSound, after the last frame.
    bool setSound(const AviSoundFormat& sound);
    bool writeSound(const std::uint8_t* data, std::size_t size);
    // Writes the indexes and counts and closes the file. False when anything failed.
    bool finish();
    // The system's reason (an errno value) for the first write that failed; 0 when none did.
    int systemError() const { return systemError_; }

  private:
    struct Entry {
        std::uint64_t offset;  // of the chunk's data
        std::uint32_t size;
        bool key;
    };
    struct Stream {
        std::uint32_t chunkId = 0;
        std::uint32_t indexId = 0;             // tag of its index chunks in each part
        std::vector<Entry> entries;            // chunks in the part being written
        std::vector<std::uint8_t> superIndex;  // entries of the extended index, one per part
        std::uint64_t chunks = 0;
        std::uint64_t bytes = 0;
        std::uint32_t largest = 0;
        std::uint64_t indexAt = 0;  // data of the stream's extended index
    };
    AviContainer(cb::FilePtr file, std::uint64_t partLimit) : file_(std::move(file)), partLimit_(partLimit) {}
    bool writeChunk(Stream& stream, const std::uint8_t* data, std::size_t size, bool key);
    bool makeRoom(std::size_t size);
    std::uint64_t indexBytes() const;
    // Both return where the list's size field or the chunk's data starts.
    std::uint64_t openList(const char (&type)[5]);
    std::uint64_t openChunk(const char (&tag)[5], std::uint32_t size);
    void openPart(const char (&kind)[5]);
    void openMovieList();
    void beginPart();
    void endPart();
    void writeStandardIndex(Stream& stream);
    void writeLegacyIndex();
    void completeHeader();
    void writeSoundList();
    std::uint32_t streamDuration(const Stream& stream) const;

    void fail();
    void put(const void* data, std::size_t size);
    void put32(std::uint32_t value);
    void putTag(const char (&tag)[5]);
    void zeros(std::size_t count);
    void seek(std::uint64_t at);
    void patch32(std::uint64_t at, std::uint32_t value);
    void patchBytes(std::uint64_t at, const std::vector<std::uint8_t>& bytes);
    void closeList(std::uint64_t sizeAt);

    cb::FilePtr file_;
    std::uint64_t partLimit_;
    bool failed_ = false;
    int systemError_ = 0;
    std::uint64_t written_ = 0;
    AviVideoFormat video_;
    std::unique_ptr<AviSoundFormat> soundFormat_;
    Stream videoStream_;
    Stream soundStream_;
    std::uint64_t avihAt_ = 0;
    std::uint64_t videoHeaderAt_ = 0;
    std::uint64_t soundRoomAt_ = 0;
    std::uint64_t dmlhAt_ = 0;
    int parts_ = 0;
    std::uint64_t partSizeAt_ = 0;
    std::uint64_t moviSizeAt_ = 0;
    std::uint64_t moviTagAt_ = 0;
    std::uint64_t firstPartFrames_ = 0;
    std::vector<avi::LegacyIndexEntry> legacy_;  // the first part's chunks, for readers of plain AVI files
};

}  // namespace vidmill::writer
