// Fuzz target: the AVI reader on any bytes. Opening, the file's facts, frames read in order, a
// step back and a jump, and the sound track copied out must each end in a frame or one of the
// reader's messages: never a crash, a hang or an allocation the file cannot account for.
// scripts/fuzz.sh runs it; small AVI files written by ffmpeg make good seeds for the corpus.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "frame/error.h"
#include "reader/avi_reader_engine.h"

namespace {

// Frames larger than this are opened but not decoded, to keep each run quick.
constexpr long long kMaxDecodedPixels = 1 << 22;
constexpr int kSequentialFrames = 40;

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void ReadFrame(vidmill::reader::AviReaderEngine& reader, int index) {
    try {
        const cb::Bitmap& frame = reader.frameAt(index);
        if (frame.width() != reader.facts().width || frame.height() != reader.facts().height)
            __builtin_trap();
    } catch (const vidmill::Error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_avi_reader_" + std::to_string(::getpid()) + ".avi";
    static const std::string wav = "/tmp/fuzz_avi_reader_" + std::to_string(::getpid()) + ".wav";
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    (void)quiet;
    if (!WriteFile(path, data, size)) return 0;

    vidmill::reader::AviReaderEngine reader;
    try {
        reader.open(path);
    } catch (const vidmill::Error&) {
        return 0;
    }
    const auto& facts = reader.facts();
    if (static_cast<long long>(facts.width) * facts.height <= kMaxDecodedPixels) {
        for (int i = 0; i < facts.frameCount && i < kSequentialFrames; ++i) ReadFrame(reader, i);
        ReadFrame(reader, 1);
        ReadFrame(reader, facts.frameCount - 1);
        ReadFrame(reader, facts.frameCount / 2);
    }
    try {
        reader.extractWav(wav);
    } catch (const vidmill::Error&) {
    }
    std::remove(wav.c_str());
    return 0;
}
