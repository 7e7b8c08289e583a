// Encoder settings of a save, and the refusals of GIF and TIFF-LZW work while LzwEnabled is off.
#include "imaging/encoder_parameters.h"

#include <algorithm>

#include "frame/error.h"
#include "frame/lzw.h"
#include "imaging/file_extension.h"
#include "vidmill/vidmill.h"

namespace vidmill::imaging {
namespace {

EncoderParameters TiffParameters(LONG compression, LONG depth) {
    EncoderParameters parameters;
    if (compression < 1 && depth < 1) return parameters;
    if (!LzwEnabled() && compression == TiffCompressionLZW) throw Error(kTiffLzwDisabled);
    if (compression >= 1) {
        if (compression != TiffCompressionLZW && compression != TiffCompressionNone)
            throw Error(kTiffCompressionUnsupported);
        parameters.tiffCompression = compression;
    }
    if (depth >= 1) {
        if (depth != TiffColorDepth24bit && depth != TiffColorDepth32bit) throw Error(kTiffDepthUnsupported);
        parameters.tiffColorDepth = depth;
    }
    return parameters;
}

}  // namespace

EncoderParameters BuildEncoderParameters(LONG formatCode, LONG jpegQuality, LONG tiffCompression,
                                         LONG tiffColorDepth) {
    EncoderParameters parameters;
    switch (formatCode) {
        case FileFormatJPEG:
            // A quality above the scale's top cannot mean anything but the best.
            if (jpegQuality >= 0) parameters.jpegQuality = std::min<LONG>(jpegQuality, 100);
            break;
        case FileFormatTIFF:
            parameters = TiffParameters(tiffCompression, tiffColorDepth);
            break;
        case FileFormatGIF:
            if (!LzwEnabled()) throw Error(kGifDisabled);
            break;
        default:
            break;
    }
    return parameters;
}

void CheckLzwByExtension(const std::string& fileName, LONG tiffCompression) {
    if (LzwEnabled()) return;
    const std::string extension = UpperCaseExtension(fileName);
    if (extension == ".GIF") throw Error(kGifDisabled);
    if (extension.compare(0, 4, ".TIF") == 0 && tiffCompression == TiffCompressionLZW)
        throw Error(kTiffLzwDisabled);
}

void CheckLzwByFormat(LONG formatCode, LONG tiffCompression) {
    if (LzwEnabled()) return;
    if (formatCode == FileFormatGIF) throw Error(kGifDisabled);
    if (formatCode == FileFormatTIFF && tiffCompression == TiffCompressionLZW) throw Error(kTiffLzwDisabled);
}

}  // namespace vidmill::imaging
