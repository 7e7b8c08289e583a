#include "reader/bgra_converter.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "cbplatform/gdi.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

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
        case AV_PIX_FMT_YUVJ420P:
            return {AV_PIX_FMT_YUV420P, true};
        case AV_PIX_FMT_YUVJ422P:
            return {AV_PIX_FMT_YUV422P, true};
        case AV_PIX_FMT_YUVJ444P:
            return {AV_PIX_FMT_YUV444P, true};
        case AV_PIX_FMT_YUVJ440P:
            return {AV_PIX_FMT_YUV440P, true};
        case AV_PIX_FMT_YUVJ411P:
            return {AV_PIX_FMT_YUV411P, true};
        default:
            return {static_cast<AVPixelFormat>(format), false};
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
            sws_setColorspaceDetails(scaler.get(), inverseTable, 1, table, destinationRange, brightness,
                                     contrast, saturation);
    }
    return scaler;
}

// The scaler's vector code writes whole blocks of this many bytes at the end of a row.
constexpr int kRowAlignment = 64;

// Source rows given to the scaler at once when its rows go through the padded band: a multiple
// of every chroma subsampling.
constexpr int kBandRows = 64;

// Pieces of a row compared and converted at once: small enough to skip unchanged blocks of the
// common 4 x 4 block codecs, large enough for the comparison to run at memory speed.
constexpr int kSegmentPixels = 32;

// Compares word by word: most segments are short, where a call to memcmp costs more than the
// comparison itself.
inline bool Same(const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
    std::size_t i = 0;
#ifdef __SSE2__
    __m128i vectorDifference = _mm_setzero_si128();
    for (; i + 16 <= bytes; i += 16)
        vectorDifference = _mm_or_si128(
            vectorDifference, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(vectorDifference, _mm_setzero_si128())) != 0xFFFF) return false;
#endif
    std::uint64_t difference = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        difference |= x ^ y;
    }
    for (; i < bytes; ++i) difference |= static_cast<std::uint64_t>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace

void BgraConverter::convertPacked(const AVFrame& frame, const PackedFormat& packed, cb::Bitmap& target) {
    const auto rowBytes =
        static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(packed.bytesPerPixel);
    const auto* palette = packed.palette ? reinterpret_cast<const std::uint32_t*>(frame.data[1]) : nullptr;
    const bool sameShape = previousValid_ && frame.format == previousFormat_ &&
                           frame.width == previousWidth_ && frame.height == previousHeight_;
    const bool delta = sameShape && (!palette || std::memcmp(palette, previousPalette_.data(), 1024) == 0);
    if (!delta) {
        previous_.resize(rowBytes * static_cast<std::size_t>(frame.height));
        previousFormat_ = frame.format;
        previousWidth_ = frame.width;
        previousHeight_ = frame.height;
        if (palette) std::memcpy(previousPalette_.data(), palette, 1024);
    }
    const std::size_t segmentBytes =
        static_cast<std::size_t>(kSegmentPixels) * static_cast<std::size_t>(packed.bytesPerPixel);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* source = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        std::uint8_t* previous = previous_.data() + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* destination = target.topRow(y);
        if (!delta) {
            packed.convert(source, destination, frame.width, palette);
            std::memcpy(previous, source, rowBytes);
            continue;
        }
        // Whole rows that stayed the same are common, and the library's comparison of a long run
        // is quicker than ours piece by piece.
        if (std::memcmp(source, previous, rowBytes) == 0) continue;
        for (int x = 0; x < frame.width; x += kSegmentPixels) {
            const int pixels = std::min(kSegmentPixels, frame.width - x);
            const std::size_t offset =
                static_cast<std::size_t>(x) * static_cast<std::size_t>(packed.bytesPerPixel);
            const std::size_t bytes = std::min(segmentBytes, rowBytes - offset);
            if (Same(source + offset, previous + offset, bytes)) continue;
            packed.convert(source + offset, destination + static_cast<std::size_t>(x) * 4, pixels, palette);
            std::memcpy(previous + offset, source + offset, bytes);
        }
    }
    previousValid_ = true;
}

bool BgraConverter::scale(const AVFrame& frame, cb::Bitmap& target) {
    previousValid_ = false;
    if (!scaler_ || frame.width != width_ || frame.height != height_ || frame.format != format_) {
        scaler_ = MakeScaler(frame);
        width_ = frame.width;
        height_ = frame.height;
        format_ = frame.format;
        if (!scaler_) return false;
    }
    const int rowBytes = frame.width * 4;
    if (rowBytes % kRowAlignment == 0) {
        // Rows that end on a whole block are written exactly: the scaler goes straight into the
        // bitmap, top row first through a negative stride, with no copy of the picture beside it.
        std::uint8_t* destination[4] = {target.topRow(0), nullptr, nullptr, nullptr};
        const int strides[4] = {-static_cast<int>(target.stride()), 0, 0, 0};
        return sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, destination, strides) ==
               frame.height;
    }
    return scaleInBands(frame, target);
}

// Rows that do not end on a whole block go through a padded band: the source is given to the
// scaler a band of rows at a time, the rows each call gives come out in the band, then move into
// the bitmap. The scaler keeps its place between calls, so the picture is the one a single call
// would make.
bool BgraConverter::scaleInBands(const AVFrame& frame, cb::Bitmap& target) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    if (!descriptor) return false;
    const auto rowBytes = static_cast<std::size_t>(frame.width) * 4;
    const std::size_t paddedStride = (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    // A call gives the rows of its band and those the scaler's vertical filter held back before it
    // (a few rows at the same size): twice a band holds them.
    const std::size_t bandBytes = paddedStride * kBandRows * 2 + kRowAlignment;
    if (padded_.size() < bandBytes) padded_.resize(bandBytes);
    int done = 0;  // rows of the bitmap written so far
    for (int first = 0; first < frame.height; first += kBandRows) {
        const int rows = std::min(kBandRows, frame.height - first);
        const std::uint8_t* source[4] = {};
        for (int plane = 0; plane < 4 && frame.data[plane]; ++plane) {
            const int shift = plane == 1 || plane == 2 ? descriptor->log2_chroma_h : 0;
            source[plane] =
                frame.data[plane] + static_cast<std::ptrdiff_t>(first >> shift) * frame.linesize[plane];
        }
        // The scaler writes output row y at destination + y x stride: the band stands for rows from `done`.
        std::uint8_t* destination[4] = {
            padded_.data() - static_cast<std::ptrdiff_t>(done) * static_cast<std::ptrdiff_t>(paddedStride),
            nullptr, nullptr, nullptr};
        const int strides[4] = {static_cast<int>(paddedStride), 0, 0, 0};
        const int given = sws_scale(scaler_.get(), source, frame.linesize, first, rows, destination, strides);
        if (given < 0 || done + given > frame.height) return false;
        for (int y = 0; y < given; ++y)
            std::memcpy(target.topRow(done + y), padded_.data() + static_cast<std::size_t>(y) * paddedStride,
                        rowBytes);
        done += given;
    }
    return done == frame.height;
}

bool BgraConverter::convert(const AVFrame& frame, cb::Bitmap& target) {
    if (frame.width <= 0 || frame.height <= 0 || target.empty() || target.bitsPerPixel() != 32) return false;
    if (frame.width == target.width() && frame.height == target.height()) {
        const PackedFormat packed = FindPackedFormat(static_cast<AVPixelFormat>(frame.format));
        if (!packed.convert || (packed.palette && !frame.data[1])) return scale(frame, target);
        convertPacked(frame, packed, target);
        return true;
    }
    if (sized_.width() != frame.width || sized_.height() != frame.height) {
        sized_ = cb::Bitmap(frame.width, frame.height, 32);
        previousValid_ = false;
    }
    if (!convert(frame, sized_)) return false;
    target.fill(0);
    const int width = std::min(frame.width, target.width());
    const int height = std::min(frame.height, target.height());
    cb::StretchBitmap(target, {0, 0, width, height}, sized_, {0, 0, width, height});
    return true;
}

}  // namespace vidmill::reader
