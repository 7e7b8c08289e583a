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

    // Loads the file as ReadPictureFile does. True only when it exists and decodes. A missing
    // file, or one that exists but does not decode: the blank placeholder (400 x 300), loaded
    // false, result false (ReadPictureFile says why).
    bool ReadImg_ReadFile(const std::string& fileName);
};

// A picture file read: the picture, its size in pixels and what its decoder found damaged.
struct PictureFile {
    cb::ComPtr<IPicture> picture;
    int32_t width = 0;
    int32_t height = 0;
    std::string damage;  // "" when whole
};

// Reads a picture file; its size comes from the picture's HIMETRIC size at the screen's resolution,
// rounded half to even. Throws Failure with the file and the reason ("it does not decode as a
// picture") when it is missing, not a regular file or does not decode.
PictureFile ReadPictureFile(const std::string& fileName);

// The placeholder's size.
inline constexpr int32_t kPlaceholderWidth = 400;
inline constexpr int32_t kPlaceholderHeight = 300;

// A new blank picture of the placeholder's size, drawn where a picture file did not load.
cb::ComPtr<IPicture> PlaceholderPicture();

}  // namespace composer
