// The five image formats frames are saved in, and the format and file name of a save.
//
// Every failure throws vidmill::Error with the text the caller reads; the method guard reports it.
#pragma once

#include <string>

#include "cbplatform/com_types.h"

namespace vidmill::imaging {

inline constexpr char kInvalidFileFormat[] = "Invalid FileFormat parameter";

// One of the five formats, by its FileFormatConstants code 1..5.
struct ImageFormat {
    LONG code;                // FileFormatBMP .. FileFormatTIFF
    const char* mimeType;     // "image/bmp" ...
    const char* extension;    // the extension SaveFile gives the name: ".bmp", ".gif", ".jpg", ".png", ".tif"
    const char* encoderName;  // FFmpeg's encoder: "bmp", "gif", "mjpeg", "png", "tiff"
};

// The format of code 1..5; any other code fails with kInvalidFileFormat.
const ImageFormat& FindImageFormat(LONG formatCode);

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

}  // namespace vidmill::imaging
