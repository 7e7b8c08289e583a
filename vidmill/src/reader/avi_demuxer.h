// FFmpeg's AVI demuxer over one file, handing out the packets of one chosen stream.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/ffmpeg_owners.h"
#include "reader/hidden_index_io.h"
#include "reader/movi_scan.h"

namespace vidmill::reader {

enum class PacketParsing { Demuxer, StoredChunks };

class AviDemuxer {
  public:
    // Opens the file with the AVI demuxer; null when FFmpeg cannot read it as an AVI file.
    // StoredChunks hands out the chunks exactly as stored, without FFmpeg's packet parsers.
    // An index that lists fewer chunks than the file's 'movi' lists hold, or places that are not
    // chunks of the file, is not used: the chunks are then read as they lie in the file.
    static std::unique_ptr<AviDemuxer> Open(const std::string& path,
                                            PacketParsing parsing = PacketParsing::Demuxer);

    int streamCount() const;
    const AVStream& stream(int index) const;

    // Only the packets of this stream are read from now on.
    void selectStream(int index);
    int selectedStream() const { return selected_; }
    // The next packet of the selected stream; false at the end of the file or when it cannot be read.
    bool readPacket(AVPacket& packet);

    // How many chunks of the stream in the file's 'movi' lists are empty. The demuxer hands out
    // none of them, but a stream header's length counts them.
    std::uint64_t emptyChunkCount(int stream) const;
    // The chunks of the file's 'movi' lists as the walk at Open found them (their index chunks
    // excepted when the index was hidden).
    const MoviChunks& chunks() const { return chunks_; }

    // True when the file's own index was loaded (and found sound): seeking by it finds real key frames.
    bool indexed() const { return indexed_; }
    // The timestamp of the key frame at or before `timestamp` by the file's index; -1 without one.
    std::int64_t keyFrameAtOrBefore(std::int64_t timestamp) const;
    // The last timestamp in the file's index, empty chunks included; -1 without one.
    std::int64_t lastIndexedTimestamp() const;
    // Positions the selected stream at the key frame at or before `timestamp`; false when the
    // demuxer cannot seek there.
    bool seekToKeyFrame(std::int64_t timestamp);
    // Starts over from the beginning of the file; false when the file cannot be opened again.
    bool rewind();

  private:
    AviDemuxer(std::string path, PacketParsing parsing) : path_(std::move(path)), parsing_(parsing) {}
    bool openInput();

    std::string path_;
    PacketParsing parsing_;
    MoviChunks chunks_;                       // the walk of the 'movi' lists at Open
    std::vector<std::uint64_t> hiddenIndex_;  // index chunks not to be used; empty: the file as it is
    std::unique_ptr<HiddenIndexIo> io_;       // outlives input_, which reads through it
    cb::InputFormatPtr input_;
    int selected_ = -1;
    bool indexed_ = false;
    std::int64_t lastIndexed_ = -1;
};

}  // namespace vidmill::reader
