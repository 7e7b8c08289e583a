// Decodes the frames of one video stream by frame number, keeping the decoder, the read position
// and the last frame between calls. Frame n is the n-th picture in the order pictures are shown,
// counted by the chunks of the stream, empty ones included: a frame whose chunk is empty (or
// holds a picture repeated) is the frame before it. Pictures stored out of that order (B-frames)
// are put back in it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "cbplatform/bitmap.h"
#include "cbplatform/ffmpeg_owners.h"
#include "reader/avi_demuxer.h"
#include "reader/bgra_converter.h"

namespace vidmill::reader {

// The largest frame the reader decodes, in pixels and along either side. Larger sizes in a file's
// headers are taken as damage rather than as a reason to allocate gigabytes.
constexpr std::int64_t kMaxFramePixels = 8192 * 8192;
constexpr int kMaxFrameSide = 16384;

class FrameDecoder {
  public:
    enum class Open { Ready, NoDecoder };

    // demuxer has the video stream selected and outlives the decoder; frames come out as 32-bit
    // bitmaps of width x height.
    FrameDecoder(AviDemuxer& demuxer, int width, int height);
    // Whether a decoder for the stream exists and opens.
    Open open();

    // Frame `number`; null when it cannot be decoded (damaged data, or past the file's end).
    // The bitmap is shared, not copied: the decoder never writes into a bitmap that someone else
    // still holds (it takes a copy of it first), and holders only read it.
    std::shared_ptr<cb::Bitmap> frame(std::int64_t number);

    // Seeks the demuxer performed so far, for tests of the reading order.
    int seekCount() const { return seeks_; }

  private:
    bool needsRestart(std::int64_t number);
    void restartAt(std::int64_t number);
    bool fillPending();
    void sendPending();
    void flushDecoder();
    void receiveFrames();
    void decodeUpTo(std::int64_t number);
    std::int64_t pendingNumber() const;
    bool exists(std::int64_t number) const;

    AviDemuxer& demuxer_;
    cb::CodecContextPtr codec_;
    BgraConverter converter_;
    std::shared_ptr<cb::Bitmap> bitmap_;
    cb::PacketPtr pending_;
    cb::FramePtr received_;
    bool hasPending_ = false;
    bool demuxEnded_ = false;
    bool flushed_ = false;
    bool fresh_ = true;  // nothing sent since the decoder started at a key frame
    std::int64_t lastPacketNumber_ = -1;
    std::int64_t sentNumber_ = -1;  // number of the last packet the decoder took
    std::int64_t lastFrameNumber_ = -1;
    std::deque<std::pair<std::int64_t, cb::FramePtr>> queue_;  // decoded, later than the last request
    cb::FramePtr chosen_;  // the frame a request lands on, until it is converted
    std::int64_t chosenNumber_ = -1;
    std::int64_t shownNumber_ = -1;  // number of the frame in bitmap_; -1 when it holds none
    int seeks_ = 0;
};

}  // namespace vidmill::reader
