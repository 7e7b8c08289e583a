// The encoder settings of a save (JPEG quality, TIFF compression and colour depth), and the GIF
// and TIFF-LZW refusals while LzwEnabled is off.
//
// Every failure throws vidmill::Error with the text the caller reads; the method guard reports it.
#pragma once

#include <optional>
#include <string>

#include "cbplatform/com_types.h"

namespace vidmill::imaging {

// The failure texts, as callers and tests read them.
inline constexpr char kGifDisabled[] =
    "Saving to GIF format is disabled. Firstly call EnableLZW global method.";
inline constexpr char kTiffLzwDisabled[] =
    "Saving to TIFF/LZW format is disabled. Firstly call EnableLZW global method.";
inline constexpr char kTiffCompressionUnsupported[] =
    "Currently only LZW and None compression types are supported";
inline constexpr char kTiffDepthUnsupported[] = "In this version only 24 and 32 bit TIFF files are supported";

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

}  // namespace vidmill::imaging
