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
    if (needsRestart(number)) {
        restartAt(number);
        decodeUpTo(number);
        // Pictures shown before a key frame can depend on the pictures before it (B-frames that
        // follow it in the file): when only later pictures come out, decoding starts again at the
        // key frame before.
        const std::int64_t key = demuxer_.keyFrameAtOrBefore(number);
        if (!chosen_ && !queue_.empty() && key > 0) {
            restartAt(key - 1);
            decodeUpTo(number);
        }
    } else {
        decodeUpTo(number);
    }
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
    lastPacketNumber_ = -1;
    sentNumber_ = -1;
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

// The demuxer times a chunk by its place in the stream; a parser can leave the presentation time
// of a picture that is shown later than it is stored, but not its place.
std::int64_t FrameDecoder::pendingNumber() const {
    if (pending_->dts != AV_NOPTS_VALUE) return pending_->dts;
    if (pending_->pts != AV_NOPTS_VALUE) return pending_->pts;
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
    if (result >= 0) sentNumber_ = pendingNumber();
    av_packet_unref(pending_.get());
    hasPending_ = false;
}

void FrameDecoder::flushDecoder() {
    avcodec_send_packet(codec_.get(), nullptr);
    flushed_ = true;
    receiveFrames();
}

// Frames come out in the order they are shown, whatever order the file stores them in (B-frames
// follow the picture they are shown before, or are packed into one chunk with it and stand in for
// the empty picture after it). A decoder that reorders holds back as many pictures as it may have
// to put in front, so the frame that comes out when chunk n went in is frame n less that delay.
// A chunk that makes no picture (a picture repeated) leaves its number to the frame before; the
// frames held back at the end follow one another.
void FrameDecoder::receiveFrames() {
    while (avcodec_receive_frame(codec_.get(), received_.get()) >= 0) {
        const std::int64_t number = flushed_
                                        ? lastFrameNumber_ + 1
                                        : std::max(sentNumber_ - codec_->has_b_frames, lastFrameNumber_ + 1);
        lastFrameNumber_ = number;
        cb::FramePtr frame(av_frame_alloc());
        if (!frame) throw std::bad_alloc();
        av_frame_move_ref(frame.get(), received_.get());
        queue_.emplace_back(number, std::move(frame));
    }
}

void FrameDecoder::decodeUpTo(std::int64_t number) {
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
        // The next chunk would bring out a frame after the wanted one: the last one before is it.
        if (pendingNumber() - codec_->has_b_frames > number) return;
        sendPending();
        receiveFrames();
    }
}

bool FrameDecoder::exists(std::int64_t number) const {
    if (!demuxEnded_ || hasPending_) return true;
    return number <= std::max(lastPacketNumber_, demuxer_.lastIndexedTimestamp());
}

}  // namespace vidmill::reader
