// Decoding the first image of a file or of bytes in memory into a 32-bit bitmap, with FFmpeg's
// image demuxers and decoders.
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/picture.h"

namespace cb {
namespace {

// Pictures larger than this are refused: width × height × 4 must fit a signed 32-bit value.
bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 && static_cast<long long>(width) * height * 4 <= INT_MAX;
}

// Bytes held in memory, read by the demuxer through its own I/O callbacks.
struct MemorySource {
    const std::vector<std::uint8_t>& bytes;
    std::size_t position = 0;

    static int Read(void* opaque, std::uint8_t* buffer, int size) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const std::size_t count =
            std::min(source.bytes.size() - source.position, static_cast<std::size_t>(size));
        if (count == 0) return AVERROR_EOF;
        std::memcpy(buffer, source.bytes.data() + source.position, count);
        source.position += count;
        return static_cast<int>(count);
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const auto size = static_cast<std::int64_t>(source.bytes.size());
        if (whence & AVSEEK_SIZE) return size;
        const std::int64_t base = (whence & 3) == SEEK_CUR   ? static_cast<std::int64_t>(source.position)
                                  : (whence & 3) == SEEK_END ? size
                                                             : 0;
        const std::int64_t target = base + offset;
        if (target < 0 || target > size) return -1;
        source.position = static_cast<std::size_t>(target);
        return target;
    }
};

struct IoContextFree {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

FramePtr DecodeFirstFrame(AVFormatContext* input) {
    if (avformat_find_stream_info(input, nullptr) < 0) return nullptr;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) return nullptr;
    CodecContextPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), input->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return nullptr;
    PacketPtr packet(av_packet_alloc());
    FramePtr picture(av_frame_alloc());
    if (!packet || !picture) return nullptr;
    bool draining = false;
    for (;;) {
        if (!draining) {
            if (av_read_frame(input, packet.get()) < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else if (packet->stream_index == stream) {
                avcodec_send_packet(codec.get(), packet.get());
            }
            av_packet_unref(packet.get());
        }
        const int result = avcodec_receive_frame(codec.get(), picture.get());
        if (result >= 0) return picture;
        if (result != AVERROR(EAGAIN) || draining) return nullptr;
    }
}

// Converts a decoded frame to a bottom-up 32-bit bitmap; formats without alpha come out opaque.
Bitmap BitmapFromFrame(const AVFrame* frame) {
    if (!frame || !SizeAllowed(frame->width, frame->height)) return {};
    ScalerPtr scaler(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr,
                                    nullptr));
    if (!scaler) return {};
    Bitmap bitmap(frame->width, frame->height, 32);
    // Writing the top row at the end of the store with a negative stride turns it bottom-up.
    std::uint8_t* top[4] = {bitmap.topRow(0), nullptr, nullptr, nullptr};
    const int stride[4] = {-static_cast<int>(bitmap.stride()), 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, top, stride);
    return bitmap;
}

Bitmap DecodeOpened(AVFormatContext* opened) {
    InputFormatPtr input(opened);
    const FramePtr frame = DecodeFirstFrame(input.get());
    return BitmapFromFrame(frame.get());
}

}  // namespace

Bitmap DecodeImageFile(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return {};
    return DecodeOpened(opened);
}

Bitmap DecodeImageBytes(const std::vector<std::uint8_t>& bytes) {
    constexpr int kBufferBytes = 4096;
    if (bytes.empty()) return {};
    MemorySource source{bytes};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferBytes));
    if (buffer == nullptr) return {};
    std::unique_ptr<AVIOContext, IoContextFree> io(avio_alloc_context(
        buffer, kBufferBytes, 0, &source, &MemorySource::Read, nullptr, &MemorySource::Seek));
    if (!io) {
        av_free(buffer);
        return {};
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr) return {};
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context; the I/O context stays ours.
    if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0) return {};
    return DecodeOpened(opened);
}

}  // namespace cb
