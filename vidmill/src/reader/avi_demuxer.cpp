#include "reader/avi_demuxer.h"

#include <algorithm>

#include "cbplatform/media_input.h"
#include "reader/movi_scan.h"

namespace vidmill::reader {

namespace {

// Whether the index FFmpeg loaded accounts for the file's chunks: every chunk of every stream is
// listed, and every listed place is a chunk of that stream (an index with more entries than
// chunks, as when FFmpeg splits one long sound chunk, must at least stay inside the file).
bool IndexFitsFile(const AVFormatContext& input, const MoviChunks& chunks) {
    bool indexed = false;
    for (unsigned i = 0; i < input.nb_streams; ++i)
        indexed = indexed || avformat_index_get_entries_count(input.streams[i]) > 0;
    if (!indexed) return true;  // no index: the chunks are read as they lie anyway
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        AVStream* stream = input.streams[i];
        const auto found = chunks.streams.find(static_cast<int>(i));
        const std::vector<std::uint64_t> none;
        const std::vector<std::uint64_t>& present = found == chunks.streams.end() ? none : found->second;
        const int entries = avformat_index_get_entries_count(stream);
        if (static_cast<std::size_t>(entries) < present.size()) return false;
        const bool oneToOne = static_cast<std::size_t>(entries) == present.size();
        for (int e = 0; e < entries; ++e) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, e);
            const auto position = static_cast<std::uint64_t>(entry->pos);
            if (entry->pos < 0 || position + static_cast<std::uint64_t>(entry->size) > chunks.fileSize)
                return false;
            if (oneToOne && !std::binary_search(present.begin(), present.end(), position)) return false;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<AviDemuxer> AviDemuxer::Open(const std::string& path, PacketParsing parsing) {
    std::unique_ptr<AviDemuxer> demuxer(new AviDemuxer(path, parsing));
    if (!demuxer->openInput()) return nullptr;
    demuxer->chunks_ = ScanMovi(path);
    MoviChunks& chunks = demuxer->chunks_;
    if (!chunks.indexChunks.empty() && !IndexFitsFile(*demuxer->input_, chunks)) {
        demuxer->hiddenIndex_ = std::move(chunks.indexChunks);
        if (!demuxer->openInput()) return nullptr;
    }
    return demuxer;
}

bool AviDemuxer::openInput() {
    input_.reset();
    io_.reset();
    const AVInputFormat* avi = av_find_input_format("avi");
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw || !avi) {
        avformat_free_context(raw);
        return false;
    }
    if (parsing_ == PacketParsing::StoredChunks) raw->flags |= AVFMT_FLAG_NOPARSE;
    if (!hiddenIndex_.empty()) {
        io_ = HiddenIndexIo::Open(path_, hiddenIndex_);
        if (!io_) {
            avformat_free_context(raw);
            return false;
        }
        raw->pb = io_->context();
        raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    // The context is freed when the open fails.
    if (cb::OpenMediaInput(&raw, path_, avi) < 0) return false;
    input_.reset(raw);
    lastIndexed_ = -1;
    indexed_ = false;
    if (selected_ >= 0) selectStream(selected_);
    return true;
}

std::uint64_t AviDemuxer::emptyChunkCount(int stream) const {
    const auto found = chunks_.emptyChunks.find(stream);
    return found == chunks_.emptyChunks.end() ? 0 : found->second;
}

int AviDemuxer::streamCount() const { return static_cast<int>(input_->nb_streams); }

const AVStream& AviDemuxer::stream(int index) const { return *input_->streams[index]; }

void AviDemuxer::selectStream(int index) {
    selected_ = index;
    for (int i = 0; i < streamCount(); ++i)
        input_->streams[i]->discard = i == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    // The demuxer loads the file's index while it opens; entries found later by scanning the
    // file are all marked as key frames, so only an index present now is trusted for seeking.
    AVStream* selected = input_->streams[index];
    const int entries = avformat_index_get_entries_count(selected);
    indexed_ = entries > 0;
    if (indexed_) lastIndexed_ = avformat_index_get_entry(selected, entries - 1)->timestamp;
}

bool AviDemuxer::readPacket(AVPacket& packet) {
    for (;;) {
        av_packet_unref(&packet);
        if (av_read_frame(input_.get(), &packet) < 0) return false;
        if (packet.stream_index == selected_) return true;
    }
}

std::int64_t AviDemuxer::keyFrameAtOrBefore(std::int64_t timestamp) const {
    if (!indexed_) return -1;
    AVStream* selected = input_->streams[selected_];
    const int entry = av_index_search_timestamp(selected, timestamp, AVSEEK_FLAG_BACKWARD);
    if (entry < 0) return -1;
    return avformat_index_get_entry(selected, entry)->timestamp;
}

std::int64_t AviDemuxer::lastIndexedTimestamp() const { return lastIndexed_; }

bool AviDemuxer::seekToKeyFrame(std::int64_t timestamp) {
    if (!indexed_) return false;
    return av_seek_frame(input_.get(), selected_, timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
}

bool AviDemuxer::rewind() { return openInput(); }

}  // namespace vidmill::reader
