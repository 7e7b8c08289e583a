#include "imaging/bmp_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace vidmill::imaging {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
// The bytes converted at once: large enough for few writes, small beside any picture worth banding.
constexpr std::size_t kBandBytes = 1 << 20;

void PutLe(std::uint8_t*& at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) *at++ = static_cast<std::uint8_t>(value >> (8 * i));
}

std::array<std::uint8_t, kFileHeaderBytes + kInfoHeaderBytes> Headers(int width, int height,
                                                                      std::uint32_t imageBytes) {
    std::array<std::uint8_t, kFileHeaderBytes + kInfoHeaderBytes> header{};
    std::uint8_t* at = header.data();
    *at++ = 'B';
    *at++ = 'M';
    PutLe(at, static_cast<std::uint32_t>(header.size()) + imageBytes, 4);  // file size
    PutLe(at, 0, 4);                                                       // reserved
    PutLe(at, static_cast<std::uint32_t>(header.size()), 4);               // offset of the pixels
    PutLe(at, kInfoHeaderBytes, 4);
    PutLe(at, static_cast<std::uint32_t>(width), 4);
    PutLe(at, static_cast<std::uint32_t>(height), 4);  // positive: bottom row first
    PutLe(at, 1, 2);                                   // planes
    PutLe(at, 24, 2);                                  // bits per pixel
    PutLe(at, 0, 4);                                   // no compression
    PutLe(at, imageBytes, 4);
    // Resolution and colour counts stay 0.
    return header;
}

// One stored row of the image (bottom-up row `row`) as BGR24; the row's padding is left alone.
void ConvertRow(const cb::Bitmap& image, int row, std::uint8_t* out) {
    const std::uint8_t* in = image.bits() + static_cast<std::size_t>(row) * image.stride();
    const auto width = static_cast<std::size_t>(image.width());
    switch (image.bitsPerPixel()) {
        case 24:
            std::memcpy(out, in, width * 3);
            return;
        case 32:
            for (std::size_t x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
            return;
        default:  // 8 bits: through the palette
            for (std::size_t x = 0; x < width; ++x, out += 3) {
                const cb::RgbQuad entry =
                    in[x] < image.palette().size() ? image.palette()[in[x]] : cb::RgbQuad{};
                out[0] = entry.blue;
                out[1] = entry.green;
                out[2] = entry.red;
            }
    }
}

}  // namespace

bool WriteBmp(const cb::Bitmap& image, const ByteSink& sink) {
    const int bits = image.bitsPerPixel();
    if (image.empty() || (bits != 8 && bits != 24 && bits != 32)) return false;
    const std::size_t rowBytes = cb::Bitmap::StrideFor(image.width(), 24);
    const std::uint64_t imageBytes =
        static_cast<std::uint64_t>(rowBytes) * static_cast<std::uint64_t>(image.height());
    if (imageBytes + kFileHeaderBytes + kInfoHeaderBytes > std::numeric_limits<std::uint32_t>::max())
        return false;
    const auto header = Headers(image.width(), image.height(), static_cast<std::uint32_t>(imageBytes));
    if (!sink(header.data(), header.size())) return false;
    const int bandRows = static_cast<int>(std::max<std::size_t>(1, kBandBytes / rowBytes));
    std::vector<std::uint8_t> band(rowBytes * static_cast<std::size_t>(std::min(bandRows, image.height())));
    for (int first = 0; first < image.height(); first += bandRows) {
        const int rows = std::min(bandRows, image.height() - first);
        for (int i = 0; i < rows; ++i)
            ConvertRow(image, first + i, band.data() + static_cast<std::size_t>(i) * rowBytes);
        if (!sink(band.data(), rowBytes * static_cast<std::size_t>(rows))) return false;
    }
    return true;
}

}  // namespace vidmill::imaging
