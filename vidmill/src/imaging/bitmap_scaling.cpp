#include "imaging/bitmap_scaling.h"

#include <array>

#include "frame/error.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vidmill::imaging {
namespace {

AVPixelFormat LayoutOf(const cb::Bitmap& image) {
    switch (image.bitsPerPixel()) {
        case 32:
            return AV_PIX_FMT_BGR0;  // the fourth byte is not alpha
        case 24:
            return AV_PIX_FMT_BGR24;
        case 8:
            return AV_PIX_FMT_PAL8;
        default:
            throw Error("Unsupported image bit depth");
    }
}

// The palette of an 8-bit bitmap as the scaler reads it: opaque 0xAARRGGBB words.
std::array<std::uint32_t, 256> ScalerPalette(const cb::Bitmap& image) {
    std::array<std::uint32_t, 256> palette{};
    for (std::size_t i = 0; i < palette.size() && i < image.palette().size(); ++i) {
        const cb::RgbQuad& entry = image.palette()[i];
        palette[i] = 0xFF000000u | static_cast<std::uint32_t>(entry.red) << 16 |
                     static_cast<std::uint32_t>(entry.green) << 8 | entry.blue;
    }
    return palette;
}

bool IsYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0 &&
           descriptor->nb_components >= 3;
}

void UseFullRangeYuv(SwsContext& scaler) {
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(&scaler, coefficients, 1, coefficients, 1, 0, 1 << 16, 1 << 16);
}

}  // namespace

void ScaleBitmap(const cb::Bitmap& image, AVPixelFormat format, int width, int height,
                 std::uint8_t* const planes[4], const int strides[4]) {
    if (image.empty() || width <= 0 || height <= 0) throw Error("Invalid image size");
    const AVPixelFormat source = LayoutOf(image);
    cb::ScalerPtr scaler(sws_getContext(image.width(), image.height(), source, width, height, format,
                                        SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                        nullptr, nullptr));
    if (!scaler) throw Error("Cannot convert image");
    if (IsYuv(format)) UseFullRangeYuv(*scaler);

    // The rows run bottom-up: start at the top row and step backwards through memory.
    const std::array<std::uint32_t, 256> palette = ScalerPalette(image);
    const std::uint8_t* sourcePlanes[4] = {image.topRow(0), nullptr, nullptr, nullptr};
    int sourceStrides[4] = {-static_cast<int>(image.stride()), 0, 0, 0};
    if (source == AV_PIX_FMT_PAL8) sourcePlanes[1] = reinterpret_cast<const std::uint8_t*>(palette.data());
    if (sws_scale(scaler.get(), sourcePlanes, sourceStrides, 0, image.height(), planes, strides) != height)
        throw Error("Cannot convert image");
}

cb::FramePtr ConvertBitmap(const cb::Bitmap& image, AVPixelFormat format) {
    cb::FramePtr frame(av_frame_alloc());
    if (!frame) throw std::bad_alloc();
    frame->format = format;
    frame->width = image.width();
    frame->height = image.height();
    if (image.empty() || av_frame_get_buffer(frame.get(), 0) < 0) throw Error("Invalid image size");
    ScaleBitmap(image, format, image.width(), image.height(), frame->data, frame->linesize);
    return frame;
}

}  // namespace vidmill::imaging
