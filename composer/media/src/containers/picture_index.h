#pragma once
// PictureIndex: every picture of a video stream decoded once, in the background, and kept in a file
// coded on its own with a lossless intra-frame codec, so that any picture is one small decode away
// instead of a decode from the key frame before it. The pictures read back are the decoder's to the
// last bit (planes, format and colour description), in the order the stream presents them.
//
// The work runs on a thread of its own at a lower priority, with a decoder and a demuxer of its
// own: the owner's reads go on meanwhile and ask for pictures as they become available. It ends
// early, keeping what it has, when the stream's pictures come in a format no lossless codec here
// keeps, when the file would take more than a quarter of the free disk (16 GiB at most), or when
// the stream cannot be read on; nothing is reported, since the owner decodes such pictures itself
// as before.
//
// The file lives in the work folder (else the temporary folder) without a name, so it goes with
// the index however the program ends.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cbplatform/ffmpeg_owners.h"

namespace composer {

// A file descriptor, closed with its owner.
class OwnedFile {
  public:
    OwnedFile() = default;
    ~OwnedFile() { reset(); }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;
    void reset(int file = -1);
    int get() const { return file_; }
    explicit operator bool() const { return file_ >= 0; }

  private:
    int file_ = -1;
};

class PictureIndex {
  public:
    // Starts indexing stream `stream` of the file at `path`; `times` are the presentation times of
    // its pictures, sorted (picture k is presented at times[k]).
    PictureIndex(std::string path, int stream, std::vector<int64_t> times);
    ~PictureIndex();  // stops the work; the file goes with it
    PictureIndex(const PictureIndex&) = delete;
    PictureIndex& operator=(const PictureIndex&) = delete;

    // Whether `picture` is indexed now.
    bool Has(int32_t picture) const;
    // Picture `picture` as the stream's decoder gave it, into `into` (unreferenced first). False
    // when it is not indexed (yet) or cannot be read back. For one thread, the owner's.
    bool Read(int32_t picture, AVFrame& into);
    // Waits until the work has ended. True when every picture is indexed.
    bool WaitUntilDone();

  private:
    struct Entry {
        int64_t offset = -1;  // where its coded picture starts in the file; -1 when not indexed
        int32_t size = 0;
        // The decoder's description of the picture, which the lossless codec does not carry.
        AVColorRange range = AVCOL_RANGE_UNSPECIFIED;
        AVColorSpace space = AVCOL_SPC_UNSPECIFIED;
        AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
        AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
        AVChromaLocation chroma = AVCHROMA_LOC_UNSPECIFIED;
        AVRational aspect{0, 1};
    };

    void Run();
    void IndexStream();
    bool OpenCoder(const AVFrame& first);
    bool Keep(const AVFrame& frame, int32_t picture);
    bool OpenReadDecoder();

    const std::string path_;
    const int stream_;
    const std::vector<int64_t> times_;
    const std::string folder_;  // where the file goes
    OwnedFile file_;
    int64_t budget_ = 0;  // the most bytes the file may take
    int64_t written_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable doneChanged_;
    std::vector<Entry> entries_;  // one a picture, guarded by mutex_
    int32_t indexed_ = 0;         // entries with an offset
    bool done_ = false;
    // What the reading side needs to decode: set once, before the first entry is published.
    AVCodecID codec_ = AV_CODEC_ID_NONE;
    unsigned tag_ = 0;
    std::vector<uint8_t> extradata_;
    int width_ = 0;
    int height_ = 0;
    AVPixelFormat format_ = AV_PIX_FMT_NONE;

    cb::CodecContextPtr encoder_;             // the indexing thread's
    cb::PacketPtr coded_{av_packet_alloc()};  // the indexing thread's, for each coded picture
    cb::CodecContextPtr reader_;              // the owner's
    cb::PacketPtr readPacket_{av_packet_alloc()};
    std::atomic<bool> stop_{false};
    std::thread thread_;  // last: it starts once the rest is in place
};

}  // namespace composer
