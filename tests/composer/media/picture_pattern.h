// Test pictures whose pixels tell where they came from: green = source row (0 = top), blue =
// source column, red = a tag, reserved byte 0xFF as decoded images have it.
#pragma once

#include <memory>

#include "cbplatform/bitmap.h"
#include "cbplatform/picture.h"
#include "media/pixels/work_surface.h"

namespace composer::testing {

inline uint32_t PatternPixel(int row, int column, int tag = 0) {
    return 0xFF000000u | static_cast<uint32_t>(tag) << 16 | static_cast<uint32_t>(row) << 8 |
           static_cast<uint32_t>(column);
}
inline int SourceRow(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline int SourceColumn(uint32_t pixel) { return pixel & 0xFF; }

inline cb::ComPtr<IPicture> PatternPicture(int width, int height, int tag = 0) {
    auto bitmap = std::make_shared<cb::Bitmap>(width, height, 32);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(bitmap->topRow(row));
        for (int column = 0; column < width; ++column) line[column] = PatternPixel(row, column, tag);
    }
    return cb::CreatePicture(bitmap);
}

// The pixel at row (0 = top) and column of a picture made by the platform.
inline uint32_t PicturePixel(IPicture* picture, int row, int column) {
    const auto bitmap = cb::PictureBitmap(picture);
    return reinterpret_cast<const uint32_t*>(bitmap->topRow(row))[column];
}

}  // namespace composer::testing
