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

// The most pixels a picture may have: 8192 x 8192 in all, the largest movie frame. A picture that
// declares more is refused before its pixels are allocated, so a small file that claims a huge
// size cannot take gigabytes of memory (decoded and converted, a picture this size takes 512 MiB).
inline constexpr std::int64_t kLargestPicturePixels = std::int64_t{8192} * 8192;
// "W x H pixels: pictures of more than 8192 x 8192 pixels in all are not read", the reason for one
// refused.
CB_PLATFORM_API std::string OversizePictureText(int width, int height);

// Decodes the first image of a file or of bytes in memory into a 32-bit bitmap whose fourth byte
// is the image's alpha (0xFF where it has none). An empty bitmap when it cannot be decoded; then
// `problem`, when given, says why where the reason is known ("it is not a regular file", "it is
// 16000 x 16000 pixels: ..."), else it is left empty. An image that decodes although its demuxer
// or decoder reported damage (a strip that ran out of its data, a frame flagged corrupt) is given
// as decoded, with what was reported in *problem ("" when whole).
CB_PLATFORM_API Bitmap DecodeImageFile(const std::string& path, std::string* problem = nullptr);
CB_PLATFORM_API Bitmap DecodeImageBytes(const std::vector<std::uint8_t>& bytes);

// Whether the first image of a file decodes whole: the decoder, told to stop at the first damage
// it finds, gives a picture and marks nothing in it as damaged. False for a file cut short or
// damaged, and for a file that holds no image. DecodeImageFile itself takes what it can.
CB_PLATFORM_API bool ImageFileDecodesWhole(const std::string& path);

// A picture of an image file; null when the file cannot be read or decoded. `problem` as
// DecodeImageFile gives it: why there is no picture, or the damage found in the one there is.
CB_PLATFORM_API ComPtr<IPicture> LoadPicture(const std::string& path, std::string* problem = nullptr);

}  // namespace cb
