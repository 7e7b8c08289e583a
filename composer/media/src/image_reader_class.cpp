#include "media/image_reader_class.h"

#include "base/files.h"
#include "base/rounding.h"
#include "cbplatform/picture.h"
#include "media/work_surface.h"

namespace composer {
namespace {

// HIMETRIC to pixels at the screen's resolution, rounded half to even.
int32_t HimetricToScreenPixels(int32_t himetric) { return RoundToInt32(himetric / cb::kHimetricPerPixel); }

// A blank picture from a surface of its own, as a fresh instance of the hidden form gives.
cb::ComPtr<IPicture> BlankPicture(int32_t width, int32_t height) {
    WorkSurface surface;
    FitWorkSurface(surface, width, height);
    return surface.Image();
}

}  // namespace

bool ImageReaderClass::ReadImg_ReadFile(const std::string& fileName) {
    width = 0;
    height = 0;
    damage.clear();
    Problem.clear();
    if (FileExists(fileName)) {
        std::string found;
        picture = cb::LoadPicture(fileName, &found);
        (picture ? damage : Problem) = found;
        OLE_XSIZE_HIMETRIC himetricWidth = 0;
        OLE_YSIZE_HIMETRIC himetricHeight = 0;
        if (picture && SUCCEEDED(picture->get_Width(&himetricWidth)) &&
            SUCCEEDED(picture->get_Height(&himetricHeight))) {
            width = HimetricToScreenPixels(himetricWidth);
            height = HimetricToScreenPixels(himetricHeight);
            loaded = true;
            return true;
        }
    }
    // Missing, or there but not a picture: a failure, with the blank placeholder to draw instead
    // (never a placeholder passed off as loaded).
    if (Problem.empty())
        Problem = FileExists(fileName) ? "it does not decode as a picture"
                                       : "the file is missing or not a regular file";
    picture = BlankPicture(kPlaceholderWidth, kPlaceholderHeight);
    width = kPlaceholderWidth;
    height = kPlaceholderHeight;
    loaded = false;
    return false;
}

}  // namespace composer
