#include "watermark/watermark_images.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>

#include "writer/ffmpeg_owners.h"

namespace vidmill::watermark {
namespace {

using writer::CodecContextPtr;
using writer::FramePtr;
using writer::InputFormatPtr;
using writer::PacketPtr;
using writer::ScalerPtr;

std::uint8_t Premultiply(std::uint8_t value, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((value * alpha + 127) / 255);
}

// Copies straight-alpha BGRA rows into a new premultiplied surface.
SurfacePtr SurfaceFromRows(int width, int height, const std::uint8_t* const* rows, int bytesPerPixel) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    std::uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = rows[y];
        std::uint8_t* to = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, from += bytesPerPixel, to += 4) {
            const std::uint8_t alpha = bytesPerPixel == 4 ? from[3] : 0xFF;
            to[0] = Premultiply(from[0], alpha);
            to[1] = Premultiply(from[1], alpha);
            to[2] = Premultiply(from[2], alpha);
            to[3] = alpha;
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

// Bytes held in memory, read by the demuxer through its own I/O callbacks.
struct MemorySource {
    const std::vector<std::uint8_t>& bytes;
    std::size_t position = 0;

    static int Read(void* opaque, std::uint8_t* buffer, int size) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const std::size_t left = source.bytes.size() - source.position;
        const std::size_t count = std::min(left, static_cast<std::size_t>(size));
        if (count == 0) return AVERROR_EOF;
        std::memcpy(buffer, source.bytes.data() + source.position, count);
        source.position += count;
        return static_cast<int>(count);
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const auto size = static_cast<std::int64_t>(source.bytes.size());
        if (whence & AVSEEK_SIZE) return size;
        const std::int64_t base = (whence & 3) == SEEK_CUR ? static_cast<std::int64_t>(source.position)
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

// Decodes one picture of an opened input into BGRA.
FramePtr DecodeFirstPicture(InputFormatPtr input) {
    if (avformat_find_stream_info(input.get(), nullptr) < 0) return nullptr;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) return nullptr;
    CodecContextPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), input->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return nullptr;
    PacketPtr packet(av_packet_alloc());
    FramePtr picture(av_frame_alloc());
    bool draining = false;
    while (packet && picture) {
        if (!draining) {
            if (av_read_frame(input.get(), packet.get()) < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else if (packet->stream_index == stream) {
                avcodec_send_packet(codec.get(), packet.get());
            }
            av_packet_unref(packet.get());
        }
        const int result = avcodec_receive_frame(codec.get(), picture.get());
        if (result >= 0) break;
        if (result != AVERROR(EAGAIN) || draining) return nullptr;
    }
    if (!picture || picture->width < 1) return nullptr;
    FramePtr bgra(av_frame_alloc());
    bgra->format = AV_PIX_FMT_BGRA;
    bgra->width = picture->width;
    bgra->height = picture->height;
    ScalerPtr scaler(sws_getContext(
        picture->width, picture->height, static_cast<AVPixelFormat>(picture->format), picture->width,
        picture->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler || av_frame_get_buffer(bgra.get(), 0) < 0) return nullptr;
    sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height, bgra->data, bgra->linesize);
    return bgra;
}

SurfacePtr SurfaceFromPicture(const AVFrame* picture) {
    if (picture == nullptr) return nullptr;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(picture->height));
    for (int y = 0; y < picture->height; ++y)
        rows[static_cast<std::size_t>(y)] = picture->data[0] + static_cast<std::ptrdiff_t>(y) * picture->linesize[0];
    return SurfaceFromRows(picture->width, picture->height, rows.data(), 4);
}

}  // namespace

SurfacePtr SurfaceFromBitmap(const cb::Bitmap& bitmap) {
    if (bitmap.empty() || bitmap.bitsPerPixel() < 24) return nullptr;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y) rows[static_cast<std::size_t>(y)] = bitmap.topRow(y);
    return SurfaceFromRows(bitmap.width(), bitmap.height(), rows.data(), bitmap.bitsPerPixel() / 8);
}

SurfacePtr LoadImageSurface(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    return SurfaceFromPicture(DecodeFirstPicture(InputFormatPtr(opened)).get());
}

SurfacePtr LoadImageSurface(const std::vector<std::uint8_t>& bytes) {
    constexpr int kBufferBytes = 4096;
    MemorySource source{bytes};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferBytes));
    if (buffer == nullptr) return nullptr;
    std::unique_ptr<AVIOContext, IoContextFree> io(
        avio_alloc_context(buffer, kBufferBytes, 0, &source, &MemorySource::Read, nullptr, &MemorySource::Seek));
    if (!io) {
        av_free(buffer);
        return nullptr;
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr) return nullptr;
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The input is closed before the I/O context it reads through.
    if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0) return nullptr;
    return SurfaceFromPicture(DecodeFirstPicture(InputFormatPtr(opened)).get());
}

}  // namespace vidmill::watermark
