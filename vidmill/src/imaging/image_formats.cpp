// The five image formats and the file names frames are saved under.
#include "imaging/image_formats.h"

#include <algorithm>
#include <array>

#include "frame/error.h"
#include "imaging/file_extension.h"
#include "vidmill/vidmill.h"

namespace vidmill::imaging {
namespace {

const std::array<ImageFormat, 5> kFormats{{
    {FileFormatBMP, "image/bmp", ".bmp", "bmp"},
    {FileFormatGIF, "image/gif", ".gif", "gif"},
    {FileFormatJPEG, "image/jpeg", ".jpg", "mjpeg"},
    {FileFormatPNG, "image/png", ".png", "png"},
    {FileFormatTIFF, "image/tiff", ".tif", "tiff"},
}};

// The format a name's extension (without its point, upper case) stands for; JPEG for any other.
LONG FormatOfExtension(const std::string& extension) {
    if (extension == "JPG" || extension == "JPEG") return FileFormatJPEG;
    if (extension == "TIFF" || extension == "TIF") return FileFormatTIFF;
    if (extension == "GIF") return FileFormatGIF;
    if (extension == "PNG") return FileFormatPNG;
    if (extension == "BMP") return FileFormatBMP;
    return FileFormatJPEG;
}

}  // namespace

const ImageFormat& FindImageFormat(LONG formatCode) {
    const auto found =
        std::find_if(kFormats.begin(), kFormats.end(),
                     [formatCode](const ImageFormat& format) { return format.code == formatCode; });
    if (found == kFormats.end()) throw Error(kInvalidFileFormat);
    return *found;
}

SaveTarget ResolveSaveTarget(const std::string& fileName, LONG formatCode) {
    if (formatCode == 0) {
        const std::string extension = UpperCaseExtension(fileName);
        return {FormatOfExtension(extension.empty() ? extension : extension.substr(1)), fileName};
    }
    const ImageFormat& format = FindImageFormat(formatCode);
    return {format.code, ReplaceExtension(fileName, format.extension)};
}

}  // namespace vidmill::imaging
