#include "reader/frame_decoder.h"

#include <algorithm>
#include <new>

namespace vidmill::reader {

FrameDecoder::FrameDecoder(AviDemuxer& demuxer, int width, int height)
    : demuxer_(demuxer),
      bitmap_(std::make_shared<cb::Bitmap>(width > 0 && height > 0 ? cb::Bitmap(width, height, 32)
                                                                   : cb::Bitmap())),
      pending_(av_packet_alloc()),
      received_(av_frame_alloc()) {
    if (!pending_ || !received_) throw std::bad_alloc();
}

FrameDecoder::Open FrameDecoder::open() {
    const AVStream& stream = demuxer_.stream(demuxer_.selectedStream());
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) return Open::NoDecoder;
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_) throw std::bad_alloc();
    if (avcodec_parameters_to_context(codec_.get(), stream.codecpar) < 0) {
        codec_.reset();
        return Open::NoDecoder;
    }
    codec_->max_pixels = kMaxFramePixels;
    codec_->pkt_timebase = stream.time_base;
    // One thread: frame threads would hold frames back, and every request waits for its frame.
    codec_->thread_count = 1;
    if (avcodec_open2(codec_.get(), codec, nullptr) < 0) {
        codec_.reset();
        return Open::NoDecoder;
    }
    return Open::Ready;
}

std::shared_ptr<cb::Bitmap> FrameDecoder::frame(std::int64_t number) {
    if (!codec_ || bitmap_->empty() || number < 0) return nullptr;
    if (needsRestart(number)) restartAt(number);
    decodeUpTo(number);
    if (chosen_) {
        // A picture still shows the last frame: it keeps that bitmap, the decoder goes on with a
        // copy (the converter writes only what the new frame changed).
        if (bitmap_.use_count() > 1) bitmap_ = std::make_shared<cb::Bitmap>(*bitmap_);
        shownNumber_ = converter_.convert(*chosen_, *bitmap_) ? chosenNumber_ : -1;
        chosen_.reset();
    }
    if (shownNumber_ < 0 || shownNumber_ > number || !exists(number)) return nullptr;
    return bitmap_;
}

// Sequential requests go on from where the last one stopped. A step back, or a key frame between
// the read position and the wanted frame, makes starting again at that key frame the shorter way.
bool FrameDecoder::needsRestart(std::int64_t number) {
    if (shownNumber_ >= 0 && number < shownNumber_) return true;
    if (shownNumber_ < 0 && !fresh_) return true;
    const std::int64_t key = demuxer_.keyFrameAtOrBefore(number);
    if (key < 0) return false;
    if (!fillPending()) return key > lastPacketNumber_;
    return key > pendingNumber();
}

void FrameDecoder::restartAt(std::int64_t number) {
    ++seeks_;
    queue_.clear();
    chosen_.reset();
    av_packet_unref(pending_.get());
    hasPending_ = false;
    demuxEnded_ = false;
    flushed_ = false;
    outstanding_ = 0;
    lastPacketNumber_ = -1;
    lastFrameNumber_ = -1;
    shownNumber_ = -1;
    avcodec_flush_buffers(codec_.get());
    fresh_ = true;
    bool positioned = demuxer_.seekToKeyFrame(number);
    // A seek that overshoots (a damaged index) is undone by reading from the start.
    if (positioned && fillPending() && pendingNumber() > number) {
        av_packet_unref(pending_.get());
        hasPending_ = false;
        lastPacketNumber_ = -1;
        positioned = false;
    }
    if (!positioned && !demuxer_.rewind()) demuxEnded_ = true;
}

std::int64_t FrameDecoder::pendingNumber() const {
    if (pending_->pts != AV_NOPTS_VALUE) return pending_->pts;
    if (pending_->dts != AV_NOPTS_VALUE) return pending_->dts;
    return lastPacketNumber_ + 1;
}

bool FrameDecoder::fillPending() {
    while (!hasPending_ && !demuxEnded_) {
        if (!demuxer_.readPacket(*pending_)) {
            demuxEnded_ = true;
            break;
        }
        // An empty packet would end the decoder's stream; it stands for an empty chunk, which
        // the timestamps of the packets around it already account for.
        if (pending_->size == 0) continue;
        // A chunk cut off by the end of the file is not a frame of it: decoding what is there would
        // give a picture the file does not hold.
        if ((pending_->flags & AV_PKT_FLAG_CORRUPT) != 0) continue;
        // Every chunk of an AVI stream is a frame in file order: a packet the parser left without a
        // presentation time (MPEG video) is timed by its place, so that the decoder's delay does
        // not shift the frame numbers by one.
        if (pending_->pts == AV_NOPTS_VALUE) pending_->pts = pending_->dts;
        hasPending_ = true;
        lastPacketNumber_ = std::max(lastPacketNumber_, pendingNumber());
    }
    return hasPending_;
}

void FrameDecoder::sendPending() {
    fresh_ = false;
    int result = avcodec_send_packet(codec_.get(), pending_.get());
    if (result == AVERROR(EAGAIN)) {
        receiveFrames();
        result = avcodec_send_packet(codec_.get(), pending_.get());
    }
    if (result >= 0) ++outstanding_;
    av_packet_unref(pending_.get());
    hasPending_ = false;
}

void FrameDecoder::flushDecoder() {
    avcodec_send_packet(codec_.get(), nullptr);
    flushed_ = true;
    receiveFrames();
}

void FrameDecoder::receiveFrames() {
    while (avcodec_receive_frame(codec_.get(), received_.get()) >= 0) {
        outstanding_ = std::max<std::int64_t>(0, outstanding_ - 1);
        std::int64_t number = received_->best_effort_timestamp;
        if (number == AV_NOPTS_VALUE) number = received_->pts;
        if (number == AV_NOPTS_VALUE) number = lastFrameNumber_ + 1;
        lastFrameNumber_ = number;
        cb::FramePtr frame(av_frame_alloc());
        if (!frame) throw std::bad_alloc();
        av_frame_move_ref(frame.get(), received_.get());
        queue_.emplace_back(number, std::move(frame));
    }
}

// Decoders that reorder frames hand a frame out only after later packets went in.
int FrameDecoder::lookAhead() const {
    const bool delays = (codec_->codec->capabilities & AV_CODEC_CAP_DELAY) != 0 || codec_->has_b_frames > 0;
    return delays ? std::max(codec_->has_b_frames, 1) + 1 : 0;
}

void FrameDecoder::decodeUpTo(std::int64_t number) {
    int sentBeyond = 0;
    for (;;) {
        while (!queue_.empty() && queue_.front().first <= number) {
            chosenNumber_ = queue_.front().first;
            chosen_ = std::move(queue_.front().second);
            queue_.pop_front();
        }
        if (!queue_.empty()) return;
        if (!fillPending()) {
            if (flushed_) return;
            flushDecoder();
            continue;
        }
        if (pendingNumber() > number) {
            if (outstanding_ == 0 || sentBeyond >= lookAhead()) return;
            ++sentBeyond;
        }
        sendPending();
        receiveFrames();
    }
}

bool FrameDecoder::exists(std::int64_t number) const {
    if (!demuxEnded_ || hasPending_) return true;
    return number <= std::max(lastPacketNumber_, demuxer_.lastIndexedTimestamp());
}

}  // namespace vidmill::reader
