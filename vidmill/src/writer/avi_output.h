// An AVI file being written by FFmpeg's AVI muxer: streams are added, the header is written,
// packets follow, and finish() completes the index. Uncompressed RGB frames are stored with the
// bottom-up row order and positive height of device-independent bitmaps.
#pragma once

#include <memory>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vidmill::writer {

class AviOutput {
public:
    // Creates (or truncates) the file. Returns null when it cannot be created.
    static std::unique_ptr<AviOutput> Create(const std::string& path);
    ~AviOutput();
    AviOutput(const AviOutput&) = delete;
    AviOutput& operator=(const AviOutput&) = delete;

    // Adds a stream before start(); returns its index, or -1 when it cannot be added.
    int addStream(const AVCodecParameters& parameters, AVRational timeBase);
    // Writes the header. False when the muxer refuses the streams.
    bool start();
    // The time base the muxer settled on for a stream.
    AVRational timeBase(int stream) const;
    // Writes one packet whose timestamps are in the stream's time base. With interleave the
    // muxer orders packets of several streams by time. False on a write failure.
    bool write(AVPacket& packet, int stream, bool interleave);
    // Writes the index and closes the file. False when that fails.
    bool finish();

private:
    AviOutput() = default;
    void release();

    AVFormatContext* context_ = nullptr;
    bool started_ = false;
};

}  // namespace vidmill::writer
