#include "writer/frame_blend.h"

#include <algorithm>
#include <cstring>

namespace vidmill::writer {
namespace {

void CopyPixels(const cb::Bitmap& from, cb::Bitmap& to) {
    std::memcpy(to.bits(), from.bits(), std::min(from.sizeBytes(), to.sizeBytes()));
}

}  // namespace

void BlendFrames(const cb::Bitmap& previous, const cb::Bitmap& current, int step, int steps,
                 cb::Bitmap& between) {
    const int bytesPerPixel = current.bitsPerPixel() / 8;
    if (bytesPerPixel < 3) {
        CopyPixels(2 * step <= steps ? previous : current, between);
        return;
    }
    const unsigned divisor = static_cast<unsigned>(steps) + 1;
    const unsigned previousWeight = divisor - static_cast<unsigned>(step);
    const unsigned currentWeight = static_cast<unsigned>(step);
    for (int y = 0; y < current.height(); ++y) {
        const std::uint8_t* from = previous.topRow(y);
        const std::uint8_t* to = current.topRow(y);
        std::uint8_t* out = between.topRow(y);
        for (int x = 0; x < current.width(); ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                out[channel] = static_cast<std::uint8_t>(
                    (from[channel] * previousWeight + to[channel] * currentWeight) / divisor);
            }
            from += bytesPerPixel;
            to += bytesPerPixel;
            out += bytesPerPixel;
        }
    }
}

}  // namespace vidmill::writer
