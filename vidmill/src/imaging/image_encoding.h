// Image encoding of frames: the five file formats, their encoders, the encoder settings (JPEG
// quality, TIFF compression and colour depth), resizing, and the GIF and TIFF-LZW refusals while
// LzwEnabled is off. BMP files are written here, band by band, with the header FFmpeg's encoder
// gives them; the other formats are FFmpeg's encoders (gif, mjpeg in full-range YUV, png, tiff).
//
// Every failure throws vidmill::Error with the text the caller reads; the method guard reports it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"

struct IStream;

namespace vidmill::imaging {

// The failure texts, as callers and tests read them.
inline constexpr char kInvalidFileFormat[] = "Invalid FileFormat parameter";
inline constexpr char kGifDisabled[] =
    "Saving to GIF format is disabled. Firstly call EnableLZW global method.";
inline constexpr char kTiffLzwDisabled[] =
    "Saving to TIFF/LZW format is disabled. Firstly call EnableLZW global method.";
inline constexpr char kTiffCompressionUnsupported[] =
    "Currently only LZW and None compression types are supported";
inline constexpr char kTiffDepthUnsupported[] = "In this version only 24 and 32 bit TIFF files are supported";
// Saving that writes nothing is reported instead of passing silently: the encoder refused the
// image, or the file or stream could not be written. "%s" stands for the file name.
inline constexpr char kCannotSaveFile[] = "Cannot save image file \"%s\"";
inline constexpr char kCannotSaveStream[] = "Cannot save image to stream";

// One of the five formats, by its FileFormatConstants code 1..5.
struct ImageFormat {
    LONG code;                // FileFormatBMP .. FileFormatTIFF
    const char* mimeType;     // "image/bmp" ...
    const char* extension;    // the extension SaveFile gives the name: ".bmp", ".gif", ".jpg", ".png", ".tif"
    const char* encoderName;  // FFmpeg's encoder: "bmp", "gif", "mjpeg", "png", "tiff"
};

// The format of code 1..5; any other code fails with kInvalidFileFormat.
const ImageFormat& FindImageFormat(LONG formatCode);

// Settings for one save. An empty member means the encoder's own default.
struct EncoderParameters {
    std::optional<int> jpegQuality;      // 0 (smallest) .. 100 (best)
    std::optional<int> tiffCompression;  // TiffCompressionLZW (2) or TiffCompressionNone (6)
    std::optional<int> tiffColorDepth;   // 24 or 32
    friend bool operator==(const EncoderParameters&, const EncoderParameters&) = default;
};

// The settings of a save in the given format:
// - JPEG: quality when jpegQuality >= 0 (values above 100 count as 100), else the default;
// - TIFF: with compression >= 1 or depth >= 1: LZW while LzwEnabled is off → kTiffLzwDisabled;
//   compression other than 2 or 6 → kTiffCompressionUnsupported; depth other than 24 or 32 →
//   kTiffDepthUnsupported (compression and depth < 1 are left at their defaults);
// - GIF while LzwEnabled is off → kGifDisabled;
// - everything else: no settings.
// The format code itself is not checked here (FindImageFormat does that).
EncoderParameters BuildEncoderParameters(LONG formatCode, LONG jpegQuality, LONG tiffCompression,
                                         LONG tiffColorDepth);

// Only while LzwEnabled is off: a name ending in ".gif" (any case) → kGifDisabled; a name whose
// extension starts with ".tif" (".tif", ".tiff") with tiffCompression 2 → kTiffLzwDisabled.
void CheckLzwByExtension(const std::string& fileName, LONG tiffCompression);
// Only while LzwEnabled is off: format 2 → kGifDisabled; format 5 with compression 2 → kTiffLzwDisabled.
void CheckLzwByFormat(LONG formatCode, LONG tiffCompression);

// A new 32-bit bitmap of width x height (both > 0) with the image stretched over it (bilinear).
// Accepts 8-bit (palette), 24-bit and 32-bit images. A size of nothing or of more than 2^28
// pixels fails with "Invalid image size".
cb::Bitmap ResizeImage(const cb::Bitmap& image, int width, int height);

// The format and file name a frame is saved under, from the caller's name and FileFormat:
// - formatCode 1..5: that format, the name's extension replaced by the format's (or appended
//   when the name has none);
// - formatCode 0: the format from the extension, case-insensitive ("JPG"/"JPEG" → 3,
//   "TIF"/"TIFF" → 5, "GIF" → 2, "PNG" → 4, "BMP" → 1), the name unchanged; any other
//   extension, or none, gives JPEG with the name unchanged;
// - any other code fails with kInvalidFileFormat.
struct SaveTarget {
    LONG formatCode;
    std::string fileName;
};
SaveTarget ResolveSaveTarget(const std::string& fileName, LONG formatCode);

// The encoded file of an image (8, 24 or 32 bits, bottom-up rows; the fourth byte of a 32-bit
// pixel is not alpha and is ignored). Fails with kInvalidFileFormat for a bad code, and with
// the settings' messages; an encoder failure throws Error with a description.
std::vector<std::uint8_t> EncodeImage(const cb::Bitmap& image, LONG formatCode,
                                      const EncoderParameters& parameters);

// Encodes and writes the image to fileName, replacing any file of that name. Fails with
// kCannotSaveFile when nothing could be encoded or written; a partly written file is removed.
// The encoded bytes go to the file as they come: BMP is converted band by band, the other
// formats hold only their encoder's input picture beside the image.
void SaveImageFile(const cb::Bitmap& image, const std::string& fileName, LONG formatCode,
                   const EncoderParameters& parameters);

// Encodes and writes the image into stream at its current position, as SaveImageFile does. Fails
// with kCannotSaveStream when nothing could be encoded or the stream refused the bytes (what was
// written before stays).
void SaveImageStream(const cb::Bitmap& image, IStream& stream, LONG formatCode,
                     const EncoderParameters& parameters);

}  // namespace vidmill::imaging
