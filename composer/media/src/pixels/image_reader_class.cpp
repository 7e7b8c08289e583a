#include "media/pixels/image_reader_class.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/rounding.h"
#include "cbplatform/picture.h"
#include "media/pixels/work_surface.h"

namespace composer {
namespace {

// HIMETRIC to pixels at the screen's resolution, rounded half to even.
int32_t HimetricToScreenPixels(int32_t himetric) { return RoundToInt32(himetric / cb::kHimetricPerPixel); }

}  // namespace

// A blank picture from a surface of its own, as a fresh instance of the hidden form gives.
cb::ComPtr<IPicture> PlaceholderPicture() {
    WorkSurface surface;
    FitWorkSurface(surface, kPlaceholderWidth, kPlaceholderHeight);
    return surface.Image();
}

PictureFile ReadPictureFile(const std::string& fileName) {
    if (!FileExists(fileName)) throw Failure(fileName, "the file is missing or not a regular file");
    std::string found;
    PictureFile read;
    read.picture = cb::LoadPicture(fileName, &found);
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    if (!read.picture || FAILED(read.picture->get_Width(&himetricWidth)) ||
        FAILED(read.picture->get_Height(&himetricHeight))) {
        throw Failure(fileName, read.picture || found.empty() ? "it does not decode as a picture" : found);
    }
    read.width = HimetricToScreenPixels(himetricWidth);
    read.height = HimetricToScreenPixels(himetricHeight);
    read.damage = found;
    return read;
}

bool ImageReaderClass::ReadImg_ReadFile(const std::string& fileName) {
    try {
        PictureFile read = ReadPictureFile(fileName);
        picture = std::move(read.picture);
        width = read.width;
        height = read.height;
        damage = std::move(read.damage);
        loaded = true;
        return true;
    } catch (const Failure&) {
        // Missing, or there but not a picture: a failure, with the blank placeholder to draw instead
        // (never a placeholder passed off as loaded). ReadPictureFile is the form that says why.
    }
    picture = PlaceholderPicture();
    width = kPlaceholderWidth;
    height = kPlaceholderHeight;
    damage.clear();
    loaded = false;
    return false;
}

}  // namespace composer
