// Encoding of frames into the five image file formats, and saving the result to a file or a
// stream. BMP files are written here, band by band, with the header FFmpeg's encoder gives them;
// the other formats are FFmpeg's encoders (gif, mjpeg in full-range YUV, png, tiff).
//
// Every failure throws vidmill::Error with the text the caller reads; the method guard reports it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "imaging/encoder_parameters.h"

struct IStream;

namespace vidmill::imaging {

// Saving that writes nothing is reported instead of passing silently: the encoder refused the
// image, or the file or stream could not be written. "%s" stands for the file name.
inline constexpr char kCannotSaveFile[] = "Cannot save image file \"%s\"";
inline constexpr char kCannotSaveStream[] = "Cannot save image to stream";

// The encoded file of an image (8, 24 or 32 bits, bottom-up rows; the fourth byte of a 32-bit
// pixel is not alpha and is ignored). Fails with kInvalidFileFormat (image_formats.h) for a bad
// code, and with the settings' messages; an encoder failure throws Error with a description.
std::vector<std::uint8_t> EncodeImage(const cb::Bitmap& image, LONG formatCode,
                                      const EncoderParameters& parameters);

// Encodes and writes the image to fileName, replacing any file of that name once the new one is
// complete (written beside it, then renamed over it). Fails with kCannotSaveFile when nothing could
// be encoded or written; the partial file is removed then and a file of that name stays as it was.
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
