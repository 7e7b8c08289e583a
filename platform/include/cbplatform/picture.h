// Picture objects: reference-counted rasters with a size in HIMETRIC units, created from bitmaps
// or loaded from image files (BMP, JPEG, GIF, PNG and the other formats FFmpeg decodes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"

namespace cb {

// HIMETRIC units (0.01 mm) per pixel at the 96 dots per inch every surface here has.
constexpr double kHimetricPerPixel = 2540.0 / 96.0;
// Pixels to HIMETRIC and back, rounded to the nearest whole unit (halves away from zero).
CB_PLATFORM_API std::int32_t PixelsToHimetric(int pixels);
CB_PLATFORM_API int HimetricToPixels(std::int32_t himetric);

// A picture over a shared bitmap: drawing on the bitmap (through a device context, say) changes
// what the picture shows. The bitmap keeps its depth; Render converts. Null for an empty bitmap.
CB_PLATFORM_API ComPtr<IPicture> CreatePicture(std::shared_ptr<Bitmap> bitmap);

// The bitmap behind a picture made by this layer; null for any other picture object.
CB_PLATFORM_API std::shared_ptr<Bitmap> PictureBitmap(IPicture* picture);

// Decodes the first image of a file or of bytes in memory into a 32-bit bitmap whose fourth byte
// is the image's alpha (0xFF where it has none). An empty bitmap when it cannot be decoded. An image
// that decodes although its demuxer or decoder reported damage (a strip that ran out of its data,
// a frame flagged corrupt) is given as decoded, with what was reported in *damage ("" when whole).
CB_PLATFORM_API Bitmap DecodeImageFile(const std::string& path, std::string* damage = nullptr);
CB_PLATFORM_API Bitmap DecodeImageBytes(const std::vector<std::uint8_t>& bytes);

// Whether the first image of a file decodes whole: the decoder, told to stop at the first damage
// it finds, gives a picture and marks nothing in it as damaged. False for a file cut short or
// damaged, and for a file that holds no image. DecodeImageFile itself takes what it can.
CB_PLATFORM_API bool ImageFileDecodesWhole(const std::string& path);

// A picture of an image file; null when the file cannot be read or decoded. Damage reported while
// decoding it goes to *damage as with DecodeImageFile.
CB_PLATFORM_API ComPtr<IPicture> LoadPicture(const std::string& path, std::string* damage = nullptr);

}  // namespace cb
