#include "reader/bgra_converter.h"

#include <algorithm>
#include <cstring>

#include "cbplatform/gdi.h"

namespace vidmill::reader {
namespace {

// The full-range ("J") YUV formats are their plain twins with the full range switched on; the
// scaler takes them that way without a complaint in the log.
struct SourceFormat {
    AVPixelFormat format;
    bool fullRange;
};
SourceFormat PlainFormat(int format) {
    switch (format) {
        case AV_PIX_FMT_YUVJ420P: return {AV_PIX_FMT_YUV420P, true};
        case AV_PIX_FMT_YUVJ422P: return {AV_PIX_FMT_YUV422P, true};
        case AV_PIX_FMT_YUVJ444P: return {AV_PIX_FMT_YUV444P, true};
        case AV_PIX_FMT_YUVJ440P: return {AV_PIX_FMT_YUV440P, true};
        case AV_PIX_FMT_YUVJ411P: return {AV_PIX_FMT_YUV411P, true};
        default: return {static_cast<AVPixelFormat>(format), false};
    }
}

cb::ScalerPtr MakeScaler(const AVFrame& frame) {
    const SourceFormat source = PlainFormat(frame.format);
    cb::ScalerPtr scaler(sws_getContext(frame.width, frame.height, source.format, frame.width, frame.height,
                                        AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (scaler && (source.fullRange || frame.color_range == AVCOL_RANGE_JPEG)) {
        int* inverseTable = nullptr;
        int* table = nullptr;
        int sourceRange = 0, destinationRange = 0, brightness = 0, contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(scaler.get(), &inverseTable, &sourceRange, &table, &destinationRange,
                                     &brightness, &contrast, &saturation) >= 0)
            sws_setColorspaceDetails(scaler.get(), inverseTable, 1, table, destinationRange, brightness, contrast,
                                     saturation);
    }
    return scaler;
}

}  // namespace

bool BgraConverter::scale(const AVFrame& frame, cb::Bitmap& target) {
    if (!scaler_ || frame.width != width_ || frame.height != height_ || frame.format != format_) {
        scaler_ = MakeScaler(frame);
        width_ = frame.width;
        height_ = frame.height;
        format_ = frame.format;
        if (!scaler_) return false;
    }
    constexpr int kRowAlignment = 64;
    paddedStride_ = (frame.width * 4 + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    const std::size_t paddedBytes = static_cast<std::size_t>(paddedStride_) * static_cast<std::size_t>(frame.height) +
                                    kRowAlignment;
    if (padded_.size() < paddedBytes) padded_.resize(paddedBytes);
    std::uint8_t* destination[4] = {padded_.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {paddedStride_, 0, 0, 0};
    if (sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, destination, strides) != frame.height)
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(target.topRow(y), padded_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(paddedStride_),
                    rowBytes);
    return true;
}

bool BgraConverter::convert(const AVFrame& frame, cb::Bitmap& target) {
    if (frame.width <= 0 || frame.height <= 0 || target.empty() || target.bitsPerPixel() != 32) return false;
    if (frame.width == target.width() && frame.height == target.height()) return scale(frame, target);
    if (sized_.width() != frame.width || sized_.height() != frame.height) sized_ = cb::Bitmap(frame.width, frame.height, 32);
    if (!scale(frame, sized_)) return false;
    target.fill(0);
    const int width = std::min(frame.width, target.width());
    const int height = std::min(frame.height, target.height());
    cb::StretchBitmap(target, {0, 0, width, height}, sized_, {0, 0, width, height});
    return true;
}

}  // namespace vidmill::reader
