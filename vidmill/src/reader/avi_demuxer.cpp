#include "reader/avi_demuxer.h"

#include <algorithm>

namespace vidmill::reader {

std::unique_ptr<AviDemuxer> AviDemuxer::Open(const std::string& path, PacketParsing parsing) {
    std::unique_ptr<AviDemuxer> demuxer(new AviDemuxer(path, parsing));
    if (!demuxer->openInput()) return nullptr;
    return demuxer;
}

bool AviDemuxer::openInput() {
    input_.reset();
    const AVInputFormat* avi = av_find_input_format("avi");
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw || !avi) {
        avformat_free_context(raw);
        return false;
    }
    if (parsing_ == PacketParsing::StoredChunks) raw->flags |= AVFMT_FLAG_NOPARSE;
    // avformat_open_input frees the context itself when it fails.
    if (avformat_open_input(&raw, path_.c_str(), avi, nullptr) < 0) return false;
    input_.reset(raw);
    lastIndexed_ = -1;
    indexed_ = false;
    if (selected_ >= 0) selectStream(selected_);
    return true;
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
