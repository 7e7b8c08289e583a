// Filtered scaling of 32-bit pixels through libswscale, one byte plane at a time.
//
// The planes go through the scaler as 8-bit grey pictures: the scaler converts packed and planar
// colour pictures through its own luma and chroma (area averaging of planar colour even leaks one
// channel into the others), while a grey picture is only filtered.
#include "media/pixels/pixel_scaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace composer {
namespace {

constexpr int kPlanes = 4;

// Area averaging where every output pixel covers one source pixel or more; bicubic interpolation
// where the picture grows. Exact rounding and the same result on every processor.
int FilterFor(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight) {
    const bool shrinks = targetWidth <= sourceWidth && targetHeight <= sourceHeight;
    return (shrinks ? SWS_AREA : SWS_BICUBIC) | SWS_ACCURATE_RND | SWS_BITEXACT;
}

std::size_t PlaneSize(int32_t width, int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

void SplitPlanes(const PixelRegion& source, uint8_t* planes) {
    const std::size_t planeSize = PlaneSize(source.width, source.height);
    for (int32_t row = 0; row < source.height; ++row) {
        const uint32_t* from = source.topLeft + row * source.rowStep;
        const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(source.width);
        uint8_t* blue = planes + at;
        uint8_t* green = blue + planeSize;
        uint8_t* red = green + planeSize;
        uint8_t* fourth = red + planeSize;
        for (int32_t column = 0; column < source.width; ++column) {
            const uint32_t pixel = from[column];
            blue[column] = static_cast<uint8_t>(pixel);
            green[column] = static_cast<uint8_t>(pixel >> 8);
            red[column] = static_cast<uint8_t>(pixel >> 16);
            fourth[column] = static_cast<uint8_t>(pixel >> 24);
        }
    }
}

void JoinPlanes(const uint8_t* planes, const PixelTarget& target) {
    const std::size_t planeSize = PlaneSize(target.width, target.height);
    for (int32_t row = 0; row < target.height; ++row) {
        uint32_t* to = target.topLeft + row * target.rowStep;
        const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(target.width);
        const uint8_t* blue = planes + at;
        const uint8_t* green = blue + planeSize;
        const uint8_t* red = green + planeSize;
        const uint8_t* fourth = red + planeSize;
        for (int32_t column = 0; column < target.width; ++column) {
            to[column] = blue[column] | (static_cast<uint32_t>(green[column]) << 8) |
                         (static_cast<uint32_t>(red[column]) << 16) |
                         (static_cast<uint32_t>(fourth[column]) << 24);
        }
    }
}

}  // namespace

PixelScaler::PixelScaler() = default;
PixelScaler::~PixelScaler() = default;
PixelScaler::PixelScaler(PixelScaler&&) noexcept = default;
PixelScaler& PixelScaler::operator=(PixelScaler&&) noexcept = default;

bool PixelScaler::Fit(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight) {
    const int32_t wanted[4] = {sourceWidth, sourceHeight, targetWidth, targetHeight};
    if (context_ && std::equal(wanted, wanted + 4, sizes_)) return true;
    context_.reset(sws_getContext(
        sourceWidth, sourceHeight, AV_PIX_FMT_GRAY8, targetWidth, targetHeight, AV_PIX_FMT_GRAY8,
        FilterFor(sourceWidth, sourceHeight, targetWidth, targetHeight), nullptr, nullptr, nullptr));
    if (!context_) return false;
    std::copy(wanted, wanted + 4, sizes_);
    sourcePlanes_.resize(PlaneSize(sourceWidth, sourceHeight) * kPlanes);
    targetPlanes_.resize(PlaneSize(targetWidth, targetHeight) * kPlanes);
    return true;
}

bool PixelScaler::Scale(const PixelRegion& source, const PixelTarget& target) {
    if (source.width < 1 || source.height < 1 || target.width < 1 || target.height < 1 || !source.topLeft ||
        !target.topLeft)
        return false;
    if (source.width == target.width && source.height == target.height) {
        for (int32_t row = 0; row < target.height; ++row) {
            std::memcpy(target.topLeft + row * target.rowStep, source.topLeft + row * source.rowStep,
                        static_cast<std::size_t>(target.width) * sizeof(uint32_t));
        }
        return true;
    }
    if (!Fit(source.width, source.height, target.width, target.height)) return false;
    SplitPlanes(source, sourcePlanes_.data());
    const std::size_t sourcePlane = PlaneSize(source.width, source.height);
    const std::size_t targetPlane = PlaneSize(target.width, target.height);
    for (int plane = 0; plane < kPlanes; ++plane) {
        const uint8_t* from[4] = {sourcePlanes_.data() + plane * sourcePlane, nullptr, nullptr, nullptr};
        uint8_t* to[4] = {targetPlanes_.data() + plane * targetPlane, nullptr, nullptr, nullptr};
        const int fromStride[4] = {source.width, 0, 0, 0};
        const int toStride[4] = {target.width, 0, 0, 0};
        if (sws_scale(context_.get(), from, fromStride, 0, source.height, to, toStride) != target.height)
            return false;
    }
    JoinPlanes(targetPlanes_.data(), target);
    return true;
}

}  // namespace composer
