#include "watermark/watermark_images.h"

#include <cstdint>
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

// Decodes one picture of the file into BGRA.
FramePtr DecodeFirstPicture(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    InputFormatPtr input(opened);
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

}  // namespace

SurfacePtr SurfaceFromBitmap(const cb::Bitmap& bitmap) {
    if (bitmap.empty() || bitmap.bitsPerPixel() < 24) return nullptr;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y) rows[static_cast<std::size_t>(y)] = bitmap.topRow(y);
    return SurfaceFromRows(bitmap.width(), bitmap.height(), rows.data(), bitmap.bitsPerPixel() / 8);
}

SurfacePtr LoadImageSurface(const std::string& path) {
    const auto picture = DecodeFirstPicture(path);
    if (!picture) return nullptr;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(picture->height));
    for (int y = 0; y < picture->height; ++y)
        rows[static_cast<std::size_t>(y)] = picture->data[0] + static_cast<std::ptrdiff_t>(y) * picture->linesize[0];
    return SurfaceFromRows(picture->width, picture->height, rows.data(), 4);
}

}  // namespace vidmill::watermark
