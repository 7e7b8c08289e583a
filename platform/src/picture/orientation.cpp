#include "cbplatform/orientation.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

namespace cb {
namespace {

constexpr std::size_t kMatrixBytes = 9 * sizeof(std::int32_t);

// A whole number at the start of a text (leading blanks allowed, as EXIF values are printed);
// `fallback` when there is none.
long NumberIn(const char* text, long fallback) {
    if (text == nullptr) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end == text ? fallback : value;
}

Orientation MatrixIn(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kMatrixBytes) return {};
    std::int32_t matrix[9];
    std::memcpy(matrix, data, kMatrixBytes);
    return OrientationOfDisplayMatrix(matrix);
}

}  // namespace

Orientation OrientationOfDisplayMatrix(const std::int32_t matrix[9]) {
    const double a = matrix[0], b = matrix[1], c = matrix[3], d = matrix[4];
    if (std::abs(b) + std::abs(c) > std::abs(a) + std::abs(d)) {
        // The stored x axis is shown along y and y along x: after the swap, x goes where c says.
        return {true, c < 0, b < 0};
    }
    return {false, a < 0, d < 0};
}

Orientation OrientationOfClockwiseTurn(int degrees) {
    const long quarters = ((std::lround(degrees / 90.0) % 4) + 4) % 4;
    switch (quarters) {
        case 1:
            return {true, true, false};
        case 2:
            return {false, true, true};
        case 3:
            return {true, false, true};
        default:
            return {};
    }
}

Orientation OrientationOfExif(int value) {
    switch (value) {
        case 2:
            return {false, true, false};
        case 3:
            return {false, true, true};
        case 4:
            return {false, false, true};
        case 5:
            return {true, false, false};
        case 6:
            return {true, true, false};
        case 7:
            return {true, true, true};
        case 8:
            return {true, false, true};
        default:
            return {};
    }
}

Orientation OrientationOfStream(const AVStream& stream) {
    std::size_t size = 0;
    const std::uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix != nullptr) return MatrixIn(matrix, size);
    const AVDictionaryEntry* rotate = av_dict_get(stream.metadata, "rotate", nullptr, 0);
    return rotate != nullptr ? OrientationOfClockwiseTurn(static_cast<int>(NumberIn(rotate->value, 0)))
                             : Orientation{};
}

Orientation OrientationOfFrame(const AVFrame& frame) {
    if (const AVFrameSideData* matrix = av_frame_get_side_data(&frame, AV_FRAME_DATA_DISPLAYMATRIX))
        return MatrixIn(matrix->data, matrix->size);
    const AVDictionaryEntry* exif = av_dict_get(frame.metadata, "Orientation", nullptr, 0);
    return exif != nullptr ? OrientationOfExif(static_cast<int>(NumberIn(exif->value, 1))) : Orientation{};
}

void UprightSize(Orientation orientation, int& width, int& height) {
    if (orientation.transposed) std::swap(width, height);
}

// Each upright row is read along a row of the stored picture (or down a column of it when the
// picture is transposed), from the end the mirroring says.
void TurnUpright(const Bitmap& stored, Orientation orientation, Bitmap& upright) {
    const int width = upright.width();
    const int height = upright.height();
    int storedWidth = width;
    int storedHeight = height;
    UprightSize(orientation, storedWidth, storedHeight);  // the same swap turns it back
    if (stored.bitsPerPixel() != 32 || upright.bitsPerPixel() != 32 || stored.width() != storedWidth ||
        stored.height() != storedHeight)
        throw std::invalid_argument("a picture turned upright needs 32-bit pictures of matching sizes");
    const auto storedStride = static_cast<std::ptrdiff_t>(stored.stride());
    // Stored rows go up in memory as they go down the picture's top rows: one row down is -stride.
    const std::ptrdiff_t down = -storedStride;
    const std::ptrdiff_t right = 4;
    for (int y = 0; y < height; ++y) {
        const int along = orientation.mirroredY ? height - 1 - y : y;  // the stored row or column
        const int first = orientation.mirroredX ? width - 1 : 0;       // where the upright row starts
        const std::uint8_t* source = nullptr;
        std::ptrdiff_t step = 0;
        if (orientation.transposed) {
            source = stored.topRow(first) + static_cast<std::ptrdiff_t>(along) * 4;
            step = orientation.mirroredX ? -down : down;
        } else {
            source = stored.topRow(along) + static_cast<std::ptrdiff_t>(first) * 4;
            step = orientation.mirroredX ? -right : right;
        }
        std::uint8_t* target = upright.topRow(y);
        for (int x = 0; x < width; ++x) std::memcpy(target + x * right, source + x * step, 4);
    }
}

}  // namespace cb
