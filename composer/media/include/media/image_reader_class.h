#pragma once
// ImageReaderClass: loads a still picture file (BMP, JPEG, GIF, PNG and whatever else the platform's
// picture loader decodes) for a picture clip and tells its size in pixels. A file that is not
// there still yields a blank 400 x 300 placeholder, so that callers always have something to draw.
#include <cstdint>
#include <string>

#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"

namespace composer {

class ImageReaderClass {
  public:
    int32_t width = 0;             // pixels; 0 before the first load
    int32_t height = 0;            // pixels; 0 before the first load
    cb::ComPtr<IPicture> picture;  // the loaded picture or the placeholder; released with the reader
    bool loaded = false;           // the picture came from the file
    std::string damage;            // what its decoder reported damaged in the loaded picture; "" when whole
    std::string Problem;  // why the last load failed, as a reason ("it does not decode as a picture")

    // Loads the file. True only when it exists and decodes; its size comes from the picture's
    // HIMETRIC size at the screen's resolution, rounded half to even.
    // A missing file, or one that exists but does not decode: the blank placeholder (400 x 300),
    // loaded false, result false, Problem set.
    bool ReadImg_ReadFile(const std::string& fileName);
};

// The placeholder's size.
inline constexpr int32_t kPlaceholderWidth = 400;
inline constexpr int32_t kPlaceholderHeight = 300;

}  // namespace composer
